#include "settings/profile.h"

#include <gtest/gtest.h>

#include <string>

#include "support/support.h"

namespace {

struct ProfileCase {
  const char* name;
  std::string text;
  void (*check)(const ConversionSettings& s, const ConversionSettings& before);
};

void PrintTo(const ProfileCase& c, std::ostream* os) { *os << c.name; }

void ExpectUnchanged(const ConversionSettings& s, const ConversionSettings& before) {
  for (const SettingDef& d : SettingTable())
    EXPECT_EQ(FieldText(s, d.field), FieldText(before, d.field)) << d.group << "/" << d.key;
}

class Profile : public ::testing::TestWithParam<ProfileCase> {
 protected:
  testing_support::TempDir dir_;
};

TEST_P(Profile, Applies) {
  ConversionSettings s;
  ResetSettings(s, true);
  const ConversionSettings before = s;
  const std::string path = dir_ / "profile.ini";
  testing_support::WriteFile(path, GetParam().text);
  ASSERT_TRUE(LoadProfile(path, s));
  GetParam().check(s, before);
}

// clang-format off
const ProfileCase kProfiles[] = {
  {"GroupAndKeyInAnyCase", "[cli]\r\n--JPG-QUALITY = 70\r\n",
   [](const ConversionSettings& s, const ConversionSettings&) { EXPECT_EQ(s.jpgQuality, 70); }},
  {"WrittenExample", "\xEF\xBB\xBF[CLI]\r\n--jpg-quality = 90\r\n--width = 800\r\n--keep-aspect-ratio =\r\n; a comment\r\n",
   [](const ConversionSettings& s, const ConversionSettings&) {
     EXPECT_EQ(s.jpgQuality, 90);
     EXPECT_EQ(s.imageWidth, 800);
     EXPECT_EQ(s.doImageResize, 1);
     EXPECT_EQ(s.keepAspectRatio, 1);
   }},
  {"KeyWithoutDashesIgnored", "[CLI]\r\njpg-quality = 70\r\n", ExpectUnchanged},
  {"OptionWithoutSideEffect", "[CLI]\r\n--fr-solid-opacity = 100\r\n",
   [](const ConversionSettings& s, const ConversionSettings&) {
     EXPECT_EQ(s.solidOpacity, 100);
     EXPECT_EQ(s.doFrame, 0);
   }},
  {"FlagIgnoresValueZero", "[CLI]\r\n--flip-vertical = 0\r\n",
   [](const ConversionSettings& s, const ConversionSettings&) { EXPECT_EQ(s.doImageFlipVertical, 1); }},
  {"FlagWithoutEqualsSign", "[CLI]\r\n  --greyscale\r\n",
   [](const ConversionSettings& s, const ConversionSettings&) { EXPECT_EQ(s.doImageGreyscale, 1); }},
  {"QuotedMaskLosesQuotes", "[CLI]\r\n--filename-mask = \"%filename%_web.%ext%\"\r\n",
   [](const ConversionSettings& s, const ConversionSettings&) { EXPECT_EQ(s.filenameMask, "%filename%_web.%ext%"); }},
  {"QuotedWatermarkKeepsQuotes", "[CLI]\r\n--wm-text = \"Sample\"\r\n",
   [](const ConversionSettings& s, const ConversionSettings&) {
     EXPECT_EQ(s.text, "\"Sample\"");
     EXPECT_EQ(s.doWatermark, 1);
   }},
  {"Latin1Text", "[CLI]\r\n--wm-text = Caf\xE9\r\n",
   [](const ConversionSettings& s, const ConversionSettings&) { EXPECT_EQ(s.text, "Caf\xC3\xA9"); }},
  {"LowerKeyWins", "[CLI]\r\n--width = 100\r\n--WIDTH = 200\r\n",
   [](const ConversionSettings& s, const ConversionSettings&) { EXPECT_EQ(s.imageWidth, 200); }},
  {"EmptyValues", "[CLI]\r\n--height =\r\n--resize-algorithm =\r\n--wm-font =\r\n",
   [](const ConversionSettings& s, const ConversionSettings&) {
     EXPECT_EQ(s.imageHeight, 0);
     EXPECT_EQ(s.doImageResize, 1);
     EXPECT_EQ(s.imageResizeAlgorithm, 0);
     EXPECT_EQ(s.font, "");
   }},
  {"OnlyFirstCliGroupCounts",
   "--jpg-quality = 10\r\n[Other]\r\n--jpg-quality = 20\r\n[CLI]\r\n--jpg-bpp = 8\r\n[CLI]\r\n--jpg-quality = 30\r\n",
   [](const ConversionSettings& s, const ConversionSettings&) {
     EXPECT_EQ(s.jpgQuality, 95);
     EXPECT_EQ(s.jpgBpp, 8);
   }},
  {"CoreOptionsAndNestingIgnored", "[CLI]\r\n-i = in.tga\r\n--profile = other.ini\r\n-q\r\n--output = /tmp\r\n",
   ExpectUnchanged},
  {"EmptyFile", "", ExpectUnchanged},
  {"OtherGroupOnly", "[General]\r\n--jpg-quality = 70\r\n", ExpectUnchanged},
};
// clang-format on
INSTANTIATE_TEST_SUITE_P(Cases, Profile, ::testing::ValuesIn(kProfiles),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ProfileFile, UnreadablePathIsRefusedAndChangesNothing) {
  testing_support::TempDir dir;
  ConversionSettings s;
  ResetSettings(s, true);
  const ConversionSettings before = s;
  for (const std::string& path : {std::string(), dir / "missing.ini", dir.path()}) {
    EXPECT_FALSE(LoadProfile(path, s)) << "'" << path << "'";
    ExpectUnchanged(s, before);
  }
}

}  // namespace
