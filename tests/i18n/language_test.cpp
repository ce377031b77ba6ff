#include "i18n/language.h"

#include <gtest/gtest.h>

#include <cstring>
#include <utility>
#include <vector>
#include <string>

#include "app/product.h"
#include "support/support.h"

namespace {

class LanguageTable : public ::testing::Test {
 protected:
  void SetUp() override { LoadLanguageTable(""); }
};

TEST_F(LanguageTable, BuiltInListHoldsEveryGroupInOrderWithItsEntryCount) {
  const std::vector<std::pair<std::string, int>> expected = {
      {"Menu", 27},      {"General", 10},          {"Msg", 41},      {"Dialog", 16},
      {"Preferences", 214}, {"About", 4}, {"Custom-Converter", 4}, {"Uninstall", 3}};
  std::vector<std::pair<std::string, int>> counted;
  bool ended = false;
  for (const LanguagePair& pair : BuiltInLanguagePairs()) {
    ASSERT_FALSE(ended) << "pairs after the end marker";
    if (std::strcmp(pair.key, "_END_") == 0) ended = true;
    else if (std::strcmp(pair.key, "_GROUP_") == 0) counted.emplace_back(pair.text, 0);
    else if (!counted.empty()) ++counted.back().second;
    else ADD_FAILURE() << "entry before the first group: " << pair.key;
  }
  EXPECT_TRUE(ended);
  EXPECT_EQ(counted, expected);
}

// Every built-in entry must be reachable through the sorted runs and the
// first-letter index, in the letter case it is written in and in another.
TEST_F(LanguageTable, EveryBuiltInEntryIsFoundWithItsOwnText) {
  std::string group;
  for (const LanguagePair& pair : BuiltInLanguagePairs()) {
    if (std::strcmp(pair.key, "_END_") == 0) break;
    if (std::strcmp(pair.key, "_GROUP_") == 0) {
      group = pair.text;
      continue;
    }
    EXPECT_EQ(GetLanguageText(group, pair.key), pair.text) << group << "/" << pair.key;
    std::string lower = pair.key;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_EQ(GetLanguageText(group, lower), pair.text) << group << "/" << lower;
  }
}

TEST_F(LanguageTable, UpdateTextsNameTheProduct) {
  EXPECT_NE(GetLanguageText("Msg", "New Update Text").find(kProductName), std::string::npos);
  EXPECT_NE(GetLanguageText("Msg", "No Update Text").find(kProductName), std::string::npos);
}

struct LookupCase {
  const char* group;
  const char* key;
  const char* text;
};

void PrintTo(const LookupCase& c, std::ostream* os) { *os << c.group << "/" << c.key; }

class LanguageLookup : public LanguageTable, public ::testing::WithParamInterface<LookupCase> {};

TEST_P(LanguageLookup, ReturnsTextOrMissingMarker) {
  const LookupCase& c = GetParam();
  EXPECT_EQ(GetLanguageText(c.group, c.key), c.text);
}

// clang-format off
const LookupCase kLookups[] = {
  {"Msg", "Error", "Error"},
  {"MSG", "error", "Error"},
  {"mSg", "ErRoR", "Error"},
  {"Preferences", "Input", "Input"},                 // a prefix of "Input Format"
  {"Preferences", "Input Format", "Input Format:"},
  {"Preferences", "Medium", "Medium"},               // stands twice in the group
  {"Preferences", "Title", "Preferences..."},
  {"About", "Title", "About..."},
  {"Custom-Converter", "title", "Find a File Converter"},
  {"Msg", "Invalid output folder",
   "The following output folder is invalid or doesn't exist:\r\n%s1%\r\n\r\nPlease, correct the output path and try again!"},
  {"Nowhere", "Error", "%NO_STRING_ERROR%"},
  {"Msg", "No such key", "%NO_STRING_ERROR%"},
  {"Msg", "", "%NO_STRING_ERROR%"},
  {"", "Error", "%NO_STRING_ERROR%"},
  {"Msg", "Erro", "%NO_STRING_ERROR%"},              // a prefix of a key is not the key
  {"Msg", "Errors", "%NO_STRING_ERROR%"},
  {"Msg", "Error ", "%NO_STRING_ERROR%"},
  {"Msg", "\xC3\xA9rror", "%NO_STRING_ERROR%"},      // first character within code 255
  {"Msg", "\xE2\x82\xACrror", "%NO_STRING_ERROR%"},  // first character above code 255
  {"Menu", "_GROUP_", "%NO_STRING_ERROR%"},
};
// clang-format on
INSTANTIATE_TEST_SUITE_P(Cases, LanguageLookup, ::testing::ValuesIn(kLookups));

// The remembered group must be dropped when a lookup names an unknown group,
// and replaced when the next lookup names another.
TEST_F(LanguageTable, RememberedGroupFollowsEveryLookup) {
  const LookupCase sequence[] = {
      {"Msg", "Error", "Error"},         {"Nowhere", "Error", "%NO_STRING_ERROR%"},
      {"Msg", "Warning", "Warning"},     {"About", "Title", "About..."},
      {"Preferences", "Title", "Preferences..."}, {"Preferences", "Warning", "%NO_STRING_ERROR%"},
      {"Msg", "Warning", "Warning"},
  };
  for (const LookupCase& c : sequence)
    EXPECT_EQ(GetLanguageText(c.group, c.key), c.text) << c.group << "/" << c.key;
}

TEST_F(LanguageTable, LanguageFileReplacesNamedTextsOnly) {
  testing_support::TempDir folder;
  const std::string file = folder / "de.ini";
  testing_support::WriteFile(file,
                                        "; German\r\n"
                                        "[menu]\r\n"
                                        "file = Datei\r\n"
                                        "NO SUCH KEY = ignored\r\n"
                                        "edit\r\n"
                                        "[MENU]\r\n"
                                        "Exit = second section is not read\r\n"
                                        "[Invented]\r\n"
                                        "Title = not a group of the table\r\n"
                                        "[Preferences]\r\n"
                                        "Medium = Mittel\r\n"
                                        "Title=Einstellungen \xE4\r\n");  // no byte-order mark: ISO 8859-1
  LoadLanguageTable(file);
  EXPECT_EQ(GetLanguageText("Menu", "File"), "Datei");
  EXPECT_EQ(GetLanguageText("Menu", "Exit"), "Exit");
  EXPECT_EQ(GetLanguageText("Menu", "New"), "New");
  EXPECT_EQ(GetLanguageText("Menu", "Edit"), "");  // a key without "=" has an empty value
  EXPECT_EQ(GetLanguageText("Menu", "No such key"), "%NO_STRING_ERROR%");
  EXPECT_EQ(GetLanguageText("Invented", "Title"), "%NO_STRING_ERROR%");
  EXPECT_EQ(GetLanguageText("Preferences", "Medium"), "Mittel");
  EXPECT_EQ(GetLanguageText("Preferences", "Title"), "Einstellungen \xC3\xA4");
  EXPECT_EQ(GetLanguageText("About", "Title"), "About...");

  // A rebuild discards the overrides.
  LoadLanguageTable("");
  EXPECT_EQ(GetLanguageText("Menu", "File"), "File");
  EXPECT_EQ(GetLanguageText("Preferences", "Medium"), "Medium");
}

TEST_F(LanguageTable, UnreadableLanguageFileKeepsBuiltInTexts) {
  testing_support::TempDir folder;
  for (const std::string& path : {folder / "missing.ini", folder.path()}) {
    LoadLanguageTable(path);
    EXPECT_EQ(GetLanguageText("Menu", "File"), "File") << path;
  }
}

}  // namespace
