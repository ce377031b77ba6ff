#include <gtest/gtest.h>

#include <regex>

#include "engine/naming.h"
#include "settings/settings.h"

namespace {

struct Naming : ::testing::Test {
  ConversionSettings s{};
  ConversionRun run;
  void SetUp() override {
    ResetSettings(s, true);
    run.inputPath = "/in/Photo.tga";
    run.outputFolder = "/out/";
    run.outputExtension = "jpg";
    run.sequenceNumber = 1;
    run.randomToken = 42;
  }
  std::string Name(const std::string& mask) {
    s.filenameMask = mask;
    return ExpandFilenameMask(run, s);
  }
};

TEST_F(Naming, MaskTokens) {
  run.outputWidth = 800;
  run.outputHeight = 600;
  run.targetDepth = 24;
  const std::pair<const char*, const char*> cases[] = {
      {"", "Photo.jpg"},
      {"Copy_%FILENAME%", "copy_Photo"},
      {"%filename[u]%.%ext[u]%", "PHOTO.JPG"},
      {"%filename[l]%.%ext[t]%", "photo.Jpg"},
      {"%n%_%rnd%", "00001_00042"},
      {"%width%x%height%_%bpp%", "800x600_24"},
      {"%unknown%", "%unknown%"},
  };
  for (const auto& [mask, expected] : cases) EXPECT_EQ(Name(mask), expected) << mask;
  EXPECT_EQ(OutputFilePath(run, s), "/out/%unknown%");
  s.filenameMask = "";
  EXPECT_EQ(OutputFilePath(run, s), "/out/Photo.jpg");
}

TEST_F(Naming, BaseNameAndTitleCase) {
  run.inputPath = "/in/pHOTO.tga";
  EXPECT_EQ(Name("%filename[t]%.%ext[t]%"), "Photo.Jpg");
  run.inputPath = "/in/my.photo name";  // a blank after the last dot: no extension
  EXPECT_EQ(Name("%filename%"), "my.photo name");
  run.inputPath = "/in/ÉTÉ.tga";
  EXPECT_EQ(Name("%filename[l]%"), "été");
  run.inputPath = "/in/shot%n%.tga";  // a token brought in by the name is expanded later
  EXPECT_EQ(Name("%filename%"), "shot00001");
}

TEST_F(Naming, CountersArePaddedOrCutToFiveCharacters) {
  run.sequenceNumber = 123456;
  EXPECT_EQ(Name("%n%"), "12345");
  run.sequenceNumber = -3;
  EXPECT_EQ(Name("%n%"), "000-3");
}

TEST_F(Naming, DateTokensAreDigits) {
  EXPECT_TRUE(std::regex_match(Name("%yyyy%-%mm%-%dd% %hh%:%ii%:%ss%"),
                               std::regex(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d)")));
}

TEST_F(Naming, WatermarkTextKeepsItsCase) {
  const std::pair<const char*, const char*> cases[] = {
      {"100%", "100%"}, {"Shot %FileName%", "Shot Photo"}, {"%EXT% 50%", "jpg 50%"}, {"A %b% C", "A %b% C"}};
  for (const auto& [text, expected] : cases) {
    s.text = text;
    EXPECT_EQ(ExpandWatermarkText(run, s), expected) << text;
  }
}

}  // namespace
