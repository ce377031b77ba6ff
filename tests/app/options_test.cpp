#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "app/arguments.h"
#include "app/options.h"
#include "settings/readers.h"

namespace {

TEST(NumberReader, ReadsPrefixesInThreeBases) {
  const std::pair<const char*, int64_t> cases[] = {
      {"800px", 800}, {"$FF", 255}, {"$ff", 255}, {"%101", 5}, {"abc", 0}, {"-5", -5},
      {" \t+42", 42}, {"", 0},      {"-$10", -16}, {"%102", 2}, {"80%", 80}};
  for (const auto& [text, expected] : cases) EXPECT_EQ(ReadInteger(text), expected) << text;
  // Stored in a 32-bit setting, a 64-bit value keeps its low 32 bits.
  ConversionSettings s{};
  ApplyProcessingOption(s, "--JPG-QUALITY", "4294967297");
  EXPECT_EQ(s.jpgQuality, 1);
}

TEST(DecimalReader, ReadsTheLongestNumberPrefix) {
  EXPECT_FLOAT_EQ(ReadDecimal("1,5"), 1.0f);
  EXPECT_FLOAT_EQ(ReadDecimal("2.25x"), 2.25f);
  EXPECT_FLOAT_EQ(ReadDecimal("abc"), 0.0f);
  EXPECT_FLOAT_EQ(ReadDecimal(".5"), 0.5f);
  EXPECT_TRUE(std::isinf(ReadDecimal("+INFINITY")) && ReadDecimal("+INFINITY") > 0);
  EXPECT_TRUE(std::isinf(ReadDecimal("-infinity")) && ReadDecimal("-infinity") < 0);
  EXPECT_TRUE(std::isnan(ReadDecimal("nan")));
  EXPECT_FLOAT_EQ(ReadDecimal("inf"), 0.0f);
}

struct OptionCase {
  const char* name;
  const char* value;
  std::function<bool(const ConversionSettings&)> holds;
};

TEST(ProcessingOptions, ApplyValuesAndSideEffects) {
  const OptionCase cases[] = {
      {"--JPG-QUALITY", "80%", [](auto& s) { return s.jpgQuality == 80; }},
      {"--JPG-QUALITY", "high", [](auto& s) { return s.jpgQuality == 0; }},
      {"--RESIZE-ALGORITHM", " lanczos ", [](auto& s) { return s.imageResizeAlgorithm == 5; }},
      {"--RESIZE-ALGORITHM", "nearest", [](auto& s) { return s.imageResizeAlgorithm == 0; }},
      {"--FLIP-HORIZONTAL", "0", [](auto& s) { return s.doImageFlipHorizontal == 1; }},
      {"--NO-SUBFOLDERS", "", [](auto& s) { return s.keepSubfolders == 0; }},
      {"--GAMMA", "1,5", [](auto& s) { return s.imageGamma == 1.0f && s.doImageColorCorrection == 1; }},
      {"--INVERT", "", [](auto& s) { return s.imageInvert == 1 && s.doImageColorCorrection == 1; }},
      {"--GREYSCALE", "", [](auto& s) { return s.doImageGreyscale == 1 && s.doImageColorCorrection == 0; }},
      {"--FR-SOLID-OPACITY", "128", [](auto& s) { return s.solidOpacity == 128 && s.doFrame == 0; }},
      {"--FR-SOLID-LEFT-COLOR", "FF0000", [](auto& s) { return s.solidLeftColor == "FF0000" && s.doFrame == 0; }},
      {"--FR-SOLID-TOP", "4", [](auto& s) { return s.solidTop == 4 && s.doFrame == 1; }},
      {"--ROTATION", "90", [](auto& s) { return s.imageRotation == 90 && s.doImageRotation == 1; }},
      {"--WM-IMAGE-ROTATION", "45", [](auto& s) { return s.watermarkImageRotation == 45 && s.imageRotation == 0; }},
      {"--WIDTH", "800", [](auto& s) { return s.imageWidth == 800 && s.doImageResize == 1 && s.imageHeight == 0; }},
      {"--WM-FONT-EFFECT", "strikethrough", [](auto& s) { return s.fontEffect == 0; }},
      {"--WM-FONT-EFFECT", "StrikeThrought", [](auto& s) { return s.fontEffect == 2; }},
      {"--WM-TEXT", " \"Hi\" ", [](auto& s) { return s.text == " \"Hi\" " && s.doWatermark == 1; }},
      {"--FILE-TIMESTAMP-CUSTOM", "$10", [](auto& s) { return s.customTimestamp == 16; }},
  };
  for (const OptionCase& c : cases) {
    ConversionSettings s{};
    s.imageGamma = 1.0f;
    s.keepSubfolders = 1;
    ASSERT_TRUE(ApplyProcessingOption(s, c.name, c.value)) << c.name;
    EXPECT_TRUE(c.holds(s)) << c.name << "=" << c.value;
  }
}

TEST(ProcessingOptions, LaterWatermarkKindWinsAndKeepsBothTexts) {
  ConversionSettings s{};
  ApplyProcessingOption(s, "--WM-TEXT", "Sample");
  ApplyProcessingOption(s, "--WM-IMAGE", "logo.png");
  EXPECT_EQ(s.doWatermark, 2);
  EXPECT_EQ(s.text, "Sample");
  ApplyProcessingOption(s, "--WM-TEXT", "Again");
  EXPECT_EQ(s.doWatermark, 1);
  EXPECT_EQ(s.image, "logo.png");
}

TEST(ProcessingOptions, ProfileTextRules) {
  ConversionSettings s{};
  ApplyProcessingOption(s, "--FILENAME-MASK", "\"%filename%_web\"", true);
  EXPECT_EQ(s.filenameMask, "%filename%_web");
  ApplyProcessingOption(s, "--WM-TEXT", " \"Shot\" ", true);
  EXPECT_EQ(s.text, "\"Shot\"");
}

TEST(ProcessingOptions, TableHasEveryOptionOnce) {
  EXPECT_EQ(ProcessingOptionCount(), 104);
  ConversionSettings s{};
  EXPECT_FALSE(ApplyProcessingOption(s, "--NOPE", "1"));
  EXPECT_FALSE(IsProcessingOption("--PROFILE"));
  EXPECT_FALSE(IsProcessingOption("-I"));
  OptionKind kind;
  ASSERT_TRUE(ProcessingOptionKind("--KEEP-ASPECT-RATIO", kind));
  EXPECT_EQ(kind, OptionKind::Flag);
}

TEST(Arguments, NamesAndValues) {
  const std::vector<std::string> args = {" --jpg-quality=80 ", "-i", "photo.tga", "--wm-text=a=b", "plain", "--flag"};
  EXPECT_EQ(ArgumentName(args, 0), "--JPG-QUALITY");
  EXPECT_EQ(ArgumentValue(args, 0), "80");
  EXPECT_EQ(ArgumentName(args, 1), "-I");
  EXPECT_EQ(ArgumentValue(args, 2), "photo.tga");
  EXPECT_EQ(ArgumentValue(args, 3), "a=b");
  EXPECT_EQ(ArgumentName(args, 4), "");
  EXPECT_EQ(ArgumentValue(args, 5), "--flag");
  EXPECT_EQ(ArgumentName(args, 9), "");
  EXPECT_EQ(ArgumentValue(args, 9), "");
}

}  // namespace
