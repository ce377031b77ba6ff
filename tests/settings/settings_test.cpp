#include <gtest/gtest.h>

#include <set>

#include "platform/platform.h"
#include "settings/keywords.h"
#include "settings/settings.h"

TEST(SettingsTable, KeysAreUniqueWithinGroupsAndCodesHaveWords) {
  std::set<std::pair<std::string, std::string>> seen;
  ConversionSettings s{};
  ResetSettings(s, false);
  for (const SettingDef& d : SettingTable()) {
    EXPECT_TRUE(seen.insert({d.group, d.key}).second) << d.group << "/" << d.key;
    if (d.family != kNoFamily) {
      EXPECT_NE(KeywordText(d.family, static_cast<int>(FieldInteger(s, d.field))), "") << d.key;
    }
  }
  EXPECT_EQ(seen.size(), 134u);  // a dropped or doubled row shows here
}

TEST(SettingsTable, ResetFlavoursDifferOnlyInAspectRatio) {
  ConversionSettings cli{}, gui{};
  ResetSettings(cli, true);
  ResetSettings(gui, false);
  EXPECT_EQ(cli.keepAspectRatio, 0);
  EXPECT_EQ(gui.keepAspectRatio, 1);
  for (const SettingDef& d : SettingTable()) {
    const std::string key = d.key;
    if (key != "Keep Aspect Ratio" && key != "Update Date" && key != "Custom Timestamp") {
      EXPECT_EQ(FieldText(cli, d.field), FieldText(gui, d.field)) << d.key;
    }
  }
  EXPECT_EQ(gui.jpgQuality, 95);
  EXPECT_EQ(gui.imageGamma, 1.0f);
  EXPECT_EQ(gui.outputFormat, "jpg");
  EXPECT_EQ(gui.inputFormat, "tga");
  EXPECT_EQ(gui.text.rfind("\xC2\xA9", 0), 0u);
  EXPECT_EQ(FieldText(gui, &ConversionSettings::imageGamma), "1.000000");
}

TEST(SettingsTable, WindowIsCentredOnTheDesktop) {
  ConversionSettings s{};
  platform::SetPrimaryDesktopSize({1920, 1080});
  ResetSettings(s, false);
  EXPECT_EQ(s.x, 705);
  EXPECT_EQ(s.y, 410);
  platform::SetPrimaryDesktopSize({500, 1080});
  ResetSettings(s, false);
  EXPECT_EQ(s.x, 100);
  platform::SetPrimaryDesktopSize({0, 0});
}

TEST(SettingsTable, NarrowFieldsKeepTheLowBits) {
  ConversionSettings s{};
  SetFieldInteger(s, &ConversionSettings::outFoldersNumber, 300);
  EXPECT_EQ(s.outFoldersNumber, 44);
}
