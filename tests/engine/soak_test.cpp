// One process converts the same image hundreds of times with every stage of the
// pipeline switched on, as a long batch does: its memory must stop growing once
// the libraries have filled their caches.
#include <gtest/gtest.h>

#include <fstream>
#include <iostream>
#include <sstream>

#include "engine/worker.h"
#include "overlay/watermark_font.h"
#include "support/support.h"

using namespace testing_support;

namespace {

// A field of /proc/self/status ("VmRSS", "VmHWM") in KiB.
long StatusKiB(const std::string& field) {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind(field + ":", 0) == 0) return std::stol(line.substr(field.size() + 1));
  ADD_FAILURE() << field << " missing from /proc/self/status";
  return 0;
}

struct Memory {
  long rss, peak;
};

Memory Now() { return {StatusKiB("VmRSS"), StatusKiB("VmHWM")}; }

#if defined(__SANITIZE_ADDRESS__)
// Under AddressSanitizer each round is several times slower, and freed blocks
// wait in its quarantine, so resident memory says nothing about leaks; there
// LeakSanitizer checks the shorter run instead.
constexpr int kRounds = 60;
constexpr bool kMeasure = false;
#else
constexpr int kRounds = 500;
constexpr bool kMeasure = true;
#endif
constexpr int kWarmUp = 50;
constexpr long kAllowedGrowthKiB = 8 * 1024;

TEST(Soak, EveryStageManyTimesInOneProcess) {
  TempDir dir;
  ConversionSettings s{};
  ResetSettings(s, true);
  s.doImageRotation = 1;
  s.imageRotation = 30;
  s.imageRotationBackColor = "336699";
  s.doImageResize = 1;
  s.imageWidth = 800;
  s.imageHeight = 600;
  s.doImageFlipHorizontal = 1;
  s.doImageFlipVertical = 1;
  s.doImageColorCorrection = 1;
  s.imageBrightness = 10;
  s.imageContrast = -15;
  s.imageGamma = 1.4f;
  s.imageInvert = 1;
  s.doFrame = 1;
  s.solidLeft = s.solidRight = s.solidTop = s.solidBottom = 12;
  s.solidLeftColor = "FF0000";
  s.solidBottomColor = "00FF00";
  s.solidOpacity = 200;
  s.text = "Soak %width%x%height% Café 猫の写真 🎉";
  s.fontSize = 24;
  s.textAntialiasing = 1;
  s.backOpacity = 128;
  s.textRotation = 15;
  s.imageOpacity = 180;
  s.watermarkImageRotation = 20;

  TestBitmap logo = MakeGradient(64, 48, 32);
  s.image = dir / "logo.png";
  ASSERT_TRUE(FreeImage_Save(FIF_PNG, logo.get(), s.image.c_str(), 0));

  WatermarkFontPtr font = LoadWatermarkFont(s);
  ASSERT_TRUE(font);
  ConversionRun run;
  ResetEngine(run);
  run.inputPath = WriteTga(dir / "photo.tga", 1000, 750);
  run.outputFolder = dir.path() + "/";
  run.outputExtension = "jpg";
  run.outputFormatId = FIF_JPEG;
  run.autoDepth = true;
  run.saveFlags = 90;
  run.watermarkFont = font.get();

  Memory warm{};
  for (int round = 1; round <= kRounds; ++round) {
    // Text and picture marks in turn, and both kinds of rotation across them
    // (the advanced one about the centre costs most of a round's time, so it
    // takes every other round only).
    s.doWatermark = round % 2 == 1 ? 1 : 2;
    s.imageRotationType = round % 4 < 2 ? 1 : 0;
    ASSERT_TRUE(ConvertImage(run, s)) << "round " << round << ": " << run.failure;
    if (round == kWarmUp) warm = Now();
  }
  const Memory end = Now();
  // The last output has the resized size and the red frame band on its left
  // (the band is drawn at opacity 200 over whatever lies beneath).
  TestBitmap last = LoadJpeg(run.outputPath);
  ASSERT_TRUE(last);
  EXPECT_EQ(FreeImage_GetWidth(last.get()), 800u);
  EXPECT_EQ(FreeImage_GetHeight(last.get()), 600u);
  RGBQUAD band{};
  ASSERT_TRUE(FreeImage_GetPixelColor(last.get(), 4, 300, &band));
  EXPECT_GT(band.rgbRed, 140);
  EXPECT_LT(band.rgbGreen, 80);
  EXPECT_LT(band.rgbBlue, 80);

  std::ostringstream figures;
  figures << "after " << kWarmUp << ": VmRSS " << warm.rss << " KiB, VmHWM " << warm.peak << " KiB; after " << kRounds
          << ": VmRSS " << end.rss << " KiB, VmHWM " << end.peak << " KiB";
  std::cout << figures.str() << std::endl;
  RecordProperty("memory", figures.str());
  if (kMeasure) {
    EXPECT_LT(end.rss - warm.rss, kAllowedGrowthKiB) << figures.str();
    EXPECT_LT(end.peak - warm.peak, kAllowedGrowthKiB) << figures.str();
  }
}

}  // namespace
