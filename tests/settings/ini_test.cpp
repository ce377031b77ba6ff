#include "settings/ini.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <optional>
#include <string>

#include "settings/readers.h"
#include "support/support.h"

namespace {

struct ParseCase {
  const char* name;
  std::string bytes;
  const char* group;
  const char* key;
  std::optional<std::string> value;  // nullopt: the lookup finds nothing
};

void PrintTo(const ParseCase& c, std::ostream* os) { *os << c.name; }

class IniParse : public ::testing::TestWithParam<ParseCase> {};

TEST_P(IniParse, FindsValue) {
  const ParseCase& c = GetParam();
  const IniDocument doc = ParseIni(c.bytes);
  const IniKey* key = FindIniKey(FindIniGroup(doc, c.group), c.key);
  if (!c.value) {
    EXPECT_EQ(key, nullptr);
  } else {
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->value, *c.value);
  }
}

// clang-format off
const ParseCase kParseCases[] = {
  {"CrLf",               "[G]\r\na = 1\r\nb = 2\r\n",    "G", "b", "2"},
  {"CrOnly",             "[G]\ra = 1\rb = 2",            "G", "b", "2"},
  {"LfOnly",             "[G]\na = 1\nb = 2\n",          "G", "b", "2"},
  {"LfCrIsTwoLineEnds",  "[G]\n\ra = 1\n\r",             "G", "a", "1"},
  {"LeadingBlanksTabs",  " \t [G]\n\t  a = 1",           "G", "a", "1"},
  {"ValueTrimmed",       "[G]\na \t=\t  x y \t",         "G", "a", "x y"},
  {"NameTrimmedAtEnd",   "[G]\nmy key\t =v",             "G", "my key", "v"},
  {"EqualsInValue",      "[G]\na = b = c",               "G", "a", "b = c"},
  {"EmptyValue",         "[G]\na =",                     "G", "a", ""},
  {"NoEqualsSign",       "[G]\n--keep-aspect-ratio  ",   "G", "--keep-aspect-ratio", ""},
  {"CommentLine",        "[G]\n;a = 1",                 "G", ";a", std::nullopt},
  {"IndentedComment",    "[G]\n  ; b = 2",               "G", "; b", std::nullopt},
  {"HashIsNoComment",    "[G]\n# a = 1",                 "G", "# a", "1"},
  {"GroupWithoutBracket","[My Group\na = 1",             "My Group", "a", "1"},
  {"TextAfterBracket",   "[G] junk ] more\na = 1",       "G", "a", "1"},
  {"GroupNameNotTrimmed","[ G ]\na = 1",                 "G", "a", std::nullopt},
  {"KeyAboveFirstGroup", "a = 1\n[G]\nb = 2",            "G", "a", std::nullopt},
  {"GroupCase",          "[general]\ncfg = 18",          "GENERAL", "CFG", "18"},
  {"FirstKeyWins",       "[G]\nKey = 1\nKEY = 2",        "G", "key", "1"},
  {"FirstGroupWins",     "[G]\n[g]\na = 1",              "G", "a", std::nullopt},
  {"OtherGroupsKeys",    "[G]\n[H]\na = 1",              "G", "a", std::nullopt},
  {"Latin1Value",        "[G]\na = caf\xE9",             "G", "a", "caf\xC3\xA9"},
  {"Latin1Name",         "[G\xC4]\n\xFC = 1",            "G\xC3\xA4", "\xC3\x9C", "1"},
  {"Utf8AfterBom",       "\xEF\xBB\xBF[G]\na = caf\xC3\xA9", "G", "a", "caf\xC3\xA9"},
  {"BomThenLineEnd",     "\xEF\xBB\xBF\r\n[G]\r\na = 1", "G", "a", "1"},
  {"BomOnlyAtStart",     "[G]\na = \xEF\xBB\xBF",        "G", "a", "\xC3\xAF\xC2\xBB\xC2\xBF"},
  {"UnicodeCase",        "\xEF\xBB\xBF[Gr\xC3\xBC\xC3\x9F" "e]\n\xC3\xA9t\xC3\xA9 = 1",
                         "GR\xC3\x9CSSE", "\xC3\x89T\xC3\x89", "1"},
  {"EmptyFile",          "",                             "G", "a", std::nullopt},
};
// clang-format on
INSTANTIATE_TEST_SUITE_P(Cases, IniParse, ::testing::ValuesIn(kParseCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(IniParse, KeysKeepFileOrderAndRepeats) {
  const IniDocument doc = ParseIni("[CLI]\r\n--width = 1\r\n; note\r\n--WIDTH = 2\r\nx\r\n");
  ASSERT_EQ(doc.groups.size(), 1u);
  const auto& keys = doc.groups[0].keys;
  ASSERT_EQ(keys.size(), 3u);
  EXPECT_EQ(keys[0].name, "--width");
  EXPECT_EQ(keys[1].name, "--WIDTH");
  EXPECT_EQ(keys[1].value, "2");
  EXPECT_EQ(keys[2].name, "x");
}

TEST(IniValues, IntegersAreSignAndDecimalDigits) {
  const struct {
    const char* text;
    int64_t value;
  } cases[] = {{"300", 300},  {"-12", -12}, {"+7", 7},       {"42px", 42}, {"", 0},
               {"-", 0},      {"$1F", 0},   {"%101", 0},     {"1.9", 1},   {"0x10", 0},
               {"--3", 0},    {" 5", 0},    {"18446744073709551617", 1}};  // 2^64 + 1 wraps
  for (const auto& c : cases) EXPECT_EQ(ReadIniInteger(c.text), c.value) << c.text;
}

TEST(IniValues, MissingGroupOrKeyGivesFallback) {
  const IniDocument doc = ParseIni("[G]\nn = 300\nf = 1.5\nt = text\ne =\n");
  const IniGroup* g = FindIniGroup(doc, "g");
  EXPECT_EQ(IniInteger(g, "N", -1), 300);
  EXPECT_EQ(IniInteger(g, "e", -1), 0);  // present but empty: no digits
  EXPECT_EQ(IniInteger(g, "missing", -1), -1);
  EXPECT_EQ(IniInteger(FindIniGroup(doc, "H"), "n", -1), -1);
  EXPECT_FLOAT_EQ(IniDecimal(g, "f", 9.0f), 1.5f);
  EXPECT_FLOAT_EQ(IniDecimal(g, "missing", 9.0f), 9.0f);
  EXPECT_EQ(IniText(g, "T", "fb"), "text");
  EXPECT_EQ(IniText(nullptr, "t", "fb"), "fb");
}

TEST(IniValues, DecimalsSurviveWritingAndReading) {
  const struct {
    float value;
    const char* text;
  } cases[] = {{1.0f, "1.000000"},
               {1.5f, "1.500000"},
               {-0.25f, "-0.250000"},
               {9.99f, "9.990000"},
               {INFINITY, "+Infinity"},
               {-INFINITY, "-Infinity"}};
  for (const auto& c : cases) {
    EXPECT_EQ(IniDecimalText(c.value), c.text);
    EXPECT_FLOAT_EQ(ReadDecimal(IniDecimalText(c.value)), c.value) << c.text;
  }
  EXPECT_EQ(IniDecimalText(NAN), "NaN");
  EXPECT_TRUE(std::isnan(ReadDecimal(IniDecimalText(NAN))));
  for (const char* text : {"+infinity", "-INFINITY", "nan"})
    EXPECT_FALSE(std::isfinite(ReadDecimal(text))) << text;
}

TEST(IniWrite, WrittenFormReadsBack) {
  std::string out = IniFileStart();
  AppendIniGroup(out, "General");
  AppendIniKey(out, "CFG", "18");
  AppendIniKey(out, "Empty", "");
  AppendIniComment(out, "");
  AppendIniGroup(out, "Window");
  AppendIniComment(out, "");
  EXPECT_EQ(out,
            "\xEF\xBB\xBF\r\n"
            "[General]\r\n"
            "CFG = 18\r\n"
            "Empty = \r\n"
            "; \r\n"
            "[Window]\r\n"
            "; \r\n");
  const IniDocument doc = ParseIni(out);
  ASSERT_EQ(doc.groups.size(), 2u);
  EXPECT_EQ(IniText(&doc.groups[0], "cfg", ""), "18");
  EXPECT_EQ(IniText(&doc.groups[0], "Empty", "fallback"), "");
  EXPECT_TRUE(doc.groups[1].keys.empty());
}

TEST(IniWrite, LineBreakInValueCannotStartAnotherLine) {
  std::string out;
  AppendIniKey(out, "Text", "a\r\n[General]\rCFG = 0\nb");
  EXPECT_EQ(out, "Text = a  [General] CFG = 0 b\r\n");
}

TEST(IniFile, ReadRefusesWhatIsNoReadableFile) {
  testing_support::TempDir folder;
  IniDocument doc;
  EXPECT_FALSE(ReadIniFile("", doc));
  EXPECT_FALSE(ReadIniFile(folder / "missing.ini", doc));
  EXPECT_FALSE(ReadIniFile(folder.path(), doc));
  testing_support::WriteFile(folder / "empty.ini", "");
  EXPECT_TRUE(ReadIniFile(folder / "empty.ini", doc));
  EXPECT_TRUE(doc.groups.empty());
  testing_support::WriteFile(folder / "one.ini", "[A]\nb=c");
  ASSERT_TRUE(ReadIniFile(folder / "one.ini", doc));
  EXPECT_EQ(IniText(FindIniGroup(doc, "a"), "B", ""), "c");
}

TEST(IniFile, SaveReplacesWholeFileAndKeepsItsPermissions) {
  testing_support::TempDir folder;
  const std::string path = folder / "config.ini";
  testing_support::WriteFile(path, "old contents that are longer than the new ones");
  ASSERT_EQ(chmod(path.c_str(), 0600), 0);
  ASSERT_TRUE(SaveIniFile(path, "new"));
  EXPECT_EQ(testing_support::ReadFile(path), "new");
  struct stat st{};
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  EXPECT_TRUE(SaveIniFile(folder / "fresh.ini", "x"));
  EXPECT_EQ(testing_support::ReadFile(folder / "fresh.ini"), "x");
}

size_t EntriesIn(const std::string& folder) {
  size_t n = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++n;
  return n;
}

TEST(IniFile, FailedSaveLeavesOldFileAndNoTemporaryFile) {
  testing_support::TempDir folder;
  EXPECT_FALSE(SaveIniFile(folder / "no/such/folder/config.ini", "x"));
  EXPECT_FALSE(SaveIniFile(folder.path(), "x"));  // a folder is not replaced

  // A write that the file-size limit cuts short fails even for root.
  const std::string path = folder / "config.ini";
  testing_support::WriteFile(path, "old");
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto oldHandler = signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 16;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool saved1 = SaveIniFile(path, std::string(4096, 'n'));
  setrlimit(RLIMIT_FSIZE, &saved);
  signal(SIGXFSZ, oldHandler);
  EXPECT_FALSE(saved1);
  EXPECT_EQ(testing_support::ReadFile(path), "old");
  EXPECT_EQ(EntriesIn(folder.path()), 1u);
}

TEST(IniFile, SaveIntoReadOnlyFolderLeavesOldFile) {
  testing_support::TempDir folder;
  const std::string path = folder / "config.ini";
  testing_support::WriteFile(path, "old");
  ASSERT_EQ(chmod(folder.path().c_str(), 0500), 0);
  if (access(folder.path().c_str(), W_OK) == 0) GTEST_SKIP() << "permissions do not bind this user";
  EXPECT_FALSE(SaveIniFile(path, "new"));
  EXPECT_EQ(testing_support::ReadFile(path), "old");
}

}  // namespace
