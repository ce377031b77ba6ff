#include "settings/config.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "engine/formats.h"
#include "platform/platform.h"
#include "settings/ini.h"
#include "support/support.h"

namespace {

bool IsWritten(const ConversionSettings& s, const SettingDef& d) {
  if (std::string(d.group) == "Window" && s.saveWindowPosition != 1) return false;
  if (!d.formatKey) return true;
  const auto& list = std::string(d.group) == "Input" ? InputFormatList() : OutputFormatList();
  for (const std::string& f : list)
    if (f == d.formatKey) return true;
  return false;
}

// A value of the field's type that no default has, different for every row.
void SetDistinctValue(ConversionSettings& s, const SettingDef& d, int row) {
  switch (d.type) {
    case SettingType::Int32:
    case SettingType::Date: SetFieldInteger(s, d.field, -100000 - row * 7); break;
    case SettingType::Int8: SetFieldInteger(s, d.field, 40 + row % 80); break;
    case SettingType::Float: SetFieldText(s, d.field, "2.25"); break;
    case SettingType::Colour: SetFieldText(s, d.field, "A1B2C" + std::to_string(row % 10)); break;
    case SettingType::Text: SetFieldText(s, d.field, "t\xC3\xA9xt " + std::to_string(row) + "\t=;[x]"); break;
  }
}

class Configuration : public ::testing::Test {
 protected:
  void SetUp() override { platform::SetPrimaryDesktopSize({1920, 1080}); }
  void TearDown() override { platform::SetPrimaryDesktopSize({}); }

  std::string Load(const std::string& text, ConversionSettings& s) {
    const std::string path = folder_ / "config.ini";
    testing_support::WriteFile(path, text);
    LoadConfiguration(s, path);
    return path;
  }

  testing_support::TempDir folder_;
};

TEST_F(Configuration, DefaultsSurviveSaveAndLoad) {
  ConversionSettings saved;
  ResetSettings(saved, false);
  const std::string path = folder_ / "config.ini";
  SaveConfiguration(saved, path);
  ConversionSettings loaded;
  ResetSettings(loaded, true);
  LoadConfiguration(loaded, path);
  for (const SettingDef& d : SettingTable())
    EXPECT_EQ(FieldText(loaded, d.field), FieldText(saved, d.field)) << d.group << "/" << d.key;
}

// Each written key must come back into its own field; keys that are not
// written (other formats' keys) come back as their defaults.
TEST_F(Configuration, EveryWrittenFieldSurvivesSaveAndLoad) {
  ConversionSettings saved, defaults;
  ResetSettings(saved, false);
  ResetSettings(defaults, false);
  int row = 0;
  for (const SettingDef& d : SettingTable()) SetDistinctValue(saved, d, row++);
  saved.saveWindowPosition = 1;
  const std::string path = folder_ / "config.ini";
  SaveConfiguration(saved, path);
  ConversionSettings loaded;
  LoadConfiguration(loaded, path);
  for (const SettingDef& d : SettingTable()) {
    if (d.field == SettingField(&ConversionSettings::cfg)) {
      EXPECT_EQ(loaded.cfg, 18);
      continue;
    }
    const ConversionSettings& expected = IsWritten(saved, d) ? saved : defaults;
    EXPECT_EQ(FieldText(loaded, d.field), FieldText(expected, d.field)) << d.group << "/" << d.key;
  }
}

TEST_F(Configuration, WrittenBytesMatchTheKnownFile) {
  ConversionSettings s;
  ResetSettings(s, false);
  s.updateDate = 1700000000;
  s.customTimestamp = 1600000000;
  s.x = 705;
  s.y = 410;
  s.cfg = 3;  // never written: the file always carries the current layout
  s.jpgQuality = 80;
  s.imageContrast = -20;
  s.imageGamma = 1.5f;
  s.recentOutFolders = "/home/user/out/\t/srv/images/";
  s.bmpBpp = 24;  // not a format of this program: not written
  const std::string path = folder_ / "config.ini";
  SaveConfiguration(s, path);
  EXPECT_EQ(testing_support::ReadFile(path), testing_support::ReadFile(VELMORA_TEST_DATA "/settings/config_known.ini"));
}

TEST_F(Configuration, WindowGroupIsEmptyWithoutSavedPosition) {
  ConversionSettings s;
  ResetSettings(s, false);
  s.saveWindowPosition = 0;
  const std::string path = folder_ / "config.ini";
  SaveConfiguration(s, path);
  const std::string bytes = testing_support::ReadFile(path);
  EXPECT_NE(bytes.find("\r\n[Window]\r\n; \r\n[Interface]\r\n"), std::string::npos);
  EXPECT_EQ(bytes.rfind("\xEF\xBB\xBF\r\n[General]\r\nCFG = 18\r\n", 0), 0u);
}

TEST_F(Configuration, MissingFileGivesGraphicalDefaults) {
  ConversionSettings s, expected;
  ResetSettings(s, true);
  s.jpgQuality = 1;
  LoadConfiguration(s, folder_ / "missing.ini");
  ResetSettings(expected, false);
  expected.updateDate = s.updateDate;  // computed from the clock at the moment of loading
  expected.customTimestamp = s.customTimestamp;
  EXPECT_LE(std::abs(s.updateDate - static_cast<int32_t>(platform::NowLocal())), 5);
  for (const SettingDef& d : SettingTable())
    EXPECT_EQ(FieldText(s, d.field), FieldText(expected, d.field)) << d.group << "/" << d.key;
  EXPECT_EQ(s.x, 705);  // centred on the desktop
  EXPECT_EQ(s.y, 410);
  EXPECT_EQ(s.keepAspectRatio, 1);
}

struct ReadCase {
  const char* name;
  std::string text;
  void (*check)(const ConversionSettings&);
};

void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.name; }

class ConfigurationRead : public Configuration, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(ConfigurationRead, Reads) {
  ConversionSettings s;
  ResetSettings(s, true);
  Load(GetParam().text, s);
  GetParam().check(s);
}

// clang-format off
const ReadCase kReadCases[] = {
  {"OnlyLayoutKey", "[General]\r\nCFG = 18\r\n", [](const ConversionSettings& s) {
     ConversionSettings d;
     ResetSettings(d, false);
     EXPECT_EQ(s.x, 100);
     EXPECT_EQ(s.y, 100);
     EXPECT_EQ(s.keepAspectRatio, 1);
     EXPECT_EQ(s.filenameMask, d.filenameMask);
     EXPECT_EQ(s.jpgQuality, d.jpgQuality);
     EXPECT_EQ(s.text, d.text);
     EXPECT_EQ(s.outputFormat, "jpg");
   }},
  {"Layout10AppendsExtension", "[General]\r\nCFG = 10\r\n[Advanced]\r\nFilename Mask = %filename%_small\r\n",
   [](const ConversionSettings& s) { EXPECT_EQ(s.filenameMask, "%filename%_small.%ext%"); }},
  {"Layout10KeepsMaskWithExtension", "[General]\r\nCFG = 10\r\n[Advanced]\r\nFilename Mask = %ext%-%filename%\r\n",
   [](const ConversionSettings& s) { EXPECT_EQ(s.filenameMask, "%ext%-%filename%"); }},
  {"Layout10ComparesExtensionWithCase", "[General]\r\nCFG = 10\r\n[Advanced]\r\nFilename Mask = %filename%.%EXT%\r\n",
   [](const ConversionSettings& s) { EXPECT_EQ(s.filenameMask, "%filename%.%EXT%.%ext%"); }},
  {"Layout18KeepsMask", "[General]\r\nCFG = 18\r\n[Advanced]\r\nFilename Mask = %filename%_small\r\n",
   [](const ConversionSettings& s) { EXPECT_EQ(s.filenameMask, "%filename%_small"); }},
  {"Layout12MovesRawLoadAs", "[General]\r\nCFG = 12\r\n[Input]\r\nRAW Load As = 1\r\n",
   [](const ConversionSettings& s) { EXPECT_EQ(s.rawLoadAs, 3); }},
  {"Layout12KeepsRawAuto", "[General]\r\nCFG = 12\r\n[Input]\r\nRAW Load As = 0\r\n",
   [](const ConversionSettings& s) { EXPECT_EQ(s.rawLoadAs, 0); }},
  {"Layout14KeepsRawLoadAs", "[General]\r\nCFG = 14\r\n[Input]\r\nRAW Load As = 1\r\n",
   [](const ConversionSettings& s) { EXPECT_EQ(s.rawLoadAs, 1); }},
  {"NoLayoutKeyUpgradesBoth", "[Advanced]\r\nFilename Mask = a\r\n[Input]\r\nRAW Load As = 2\r\n",
   [](const ConversionSettings& s) {
     EXPECT_EQ(s.filenameMask, "a.%ext%");
     EXPECT_EQ(s.rawLoadAs, 4);
     EXPECT_EQ(s.cfg, 18);
   }},
  {"OtherLetterCases", "[general]\r\ncfg = 18\r\n[TRANSFORM]\r\nkeep aspect ratio = 0\r\nIMAGE WIDTH = 640\r\n",
   [](const ConversionSettings& s) {
     EXPECT_EQ(s.keepAspectRatio, 0);
     EXPECT_EQ(s.imageWidth, 640);
   }},
  {"Int8KeepsLowBits", "[Advanced]\r\nOut Folders Number = 300\r\n",
   [](const ConversionSettings& s) { EXPECT_EQ(s.outFoldersNumber, 44); }},
  {"MalformedIntegers", "[Output]\r\nJPG Quality = 85%\r\nWEBP Quality = high\r\n[Window]\r\nX = -40\r\n",
   [](const ConversionSettings& s) {
     EXPECT_EQ(s.jpgQuality, 85);
     EXPECT_EQ(s.webpQuality, 0);
     EXPECT_EQ(s.x, -40);
   }},
  {"GammaForms", "[Adjustment]\r\nImage Gamma = 1.5\r\n",
   [](const ConversionSettings& s) { EXPECT_FLOAT_EQ(s.imageGamma, 1.5f); }},
  {"SameKeyInTwoGroups", "[Transform]\r\nImage Rotation = 90\r\n[Watermark]\r\nImage Rotation = 45\r\n",
   [](const ConversionSettings& s) {
     EXPECT_EQ(s.imageRotation, 90);
     EXPECT_EQ(s.watermarkImageRotation, 45);
   }},
  {"KeyInWrongGroupIgnored", "[General]\r\nJPG Quality = 50\r\n",
   [](const ConversionSettings& s) { EXPECT_EQ(s.jpgQuality, 95); }},
  {"KeysOfOtherFormatsAreRead", "[Output]\r\nBMP BPP = 24\r\n[Input]\r\nFormat = raw\r\n",
   [](const ConversionSettings& s) {
     EXPECT_EQ(s.bmpBpp, 24);
     EXPECT_EQ(s.inputFormat, "raw");
   }},
  {"Latin1Text", "[Watermark]\r\nText = caf\xE9  \r\n",
   [](const ConversionSettings& s) { EXPECT_EQ(s.text, "caf\xC3\xA9"); }},
  {"EmptyTextValue", "[Watermark]\r\nText =\r\n",
   [](const ConversionSettings& s) { EXPECT_EQ(s.text, ""); }},
};
// clang-format on
INSTANTIATE_TEST_SUITE_P(Cases, ConfigurationRead, ::testing::ValuesIn(kReadCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Configuration, GammaIsWrittenWithSixDecimals) {
  ConversionSettings s;
  const std::string path = Load("[Adjustment]\r\nImage Gamma = 1.5\r\n", s);
  SaveConfiguration(s, path);
  EXPECT_NE(testing_support::ReadFile(path).find("\r\nImage Gamma = 1.500000\r\n"), std::string::npos);
}

TEST_F(Configuration, SaveIntoMissingFolderWritesNothing) {
  ConversionSettings s;
  ResetSettings(s, false);
  SaveConfiguration(s, folder_ / "missing-folder/config.ini");
  EXPECT_EQ(platform::FileSize(folder_ / "missing-folder"), platform::kSizeMissing);
}

TEST_F(Configuration, SaveIntoReadOnlyFolderKeepsOldFile) {
  ConversionSettings s;
  ResetSettings(s, false);
  const std::string path = folder_ / "config.ini";
  testing_support::WriteFile(path, "old");
  ASSERT_EQ(chmod(folder_.path().c_str(), 0500), 0);
  if (access(folder_.path().c_str(), W_OK) == 0) GTEST_SKIP() << "permissions do not bind this user";
  SaveConfiguration(s, path);
  EXPECT_EQ(testing_support::ReadFile(path), "old");
}

class EnvironmentVariable {
 public:
  EnvironmentVariable(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value) setenv(name, value, 1);
    else unsetenv(name);
  }
  ~EnvironmentVariable() {
    if (old_) setenv(name_, old_->c_str(), 1);
    else unsetenv(name_);
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST_F(Configuration, FolderIsCreatedUnderTheUserConfigFolder) {
  {
    EnvironmentVariable xdg("XDG_CONFIG_HOME", (folder_ / "xdg").c_str());
    EXPECT_EQ(ConfigFolder(), folder_ / "xdg/Varnello/velmora/");
    EXPECT_TRUE(platform::IsFolder(folder_ / "xdg/Varnello/velmora"));
    EXPECT_EQ(ConfigFilePath(), folder_ / "xdg/Varnello/velmora/config.ini");
  }
  {
    EnvironmentVariable xdg("XDG_CONFIG_HOME", nullptr);
    EnvironmentVariable home("HOME", (folder_ / "home").c_str());
    ASSERT_TRUE(platform::CreateFolder(folder_ / "home"));
    EXPECT_EQ(ConfigFolder(), folder_ / "home/.config/Varnello/velmora/");
    EXPECT_TRUE(platform::IsFolder(folder_ / "home/.config/Varnello/velmora"));
  }
}

}  // namespace
