#include "engine/transforms.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "engine/stages.h"
#include "engine/transform_images.h"

using namespace transform_test;

namespace {

ConversionSettings CommandLineDefaults() {
  ConversionSettings s;
  ResetSettings(s, true);
  return s;
}

// ---------------------------------------------------------------- resize size

struct SizeCase {
  const char* name;
  unsigned w, h;
  int32_t width;
  int widthUnit;
  int32_t height;
  int heightUnit;
  bool keepAspect;
  int resizeType;
  bool resize;
  int32_t newW, newH;
};

void PrintTo(const SizeCase& c, std::ostream* os) { *os << c.name; }

constexpr int kPx = 0, kPct = 1;

// clang-format off
const SizeCase kSizeCases[] = {
  // Percent: value / 100 * size in double precision, halves to the even neighbour.
  {"PercentHalvesToEven",       301, 303,  50, kPct,  50, kPct, false, 0, true, 150, 152},
  {"PercentOfOddSides",         3,   5,   150, kPct,  30, kPct, false, 0, true,   4,   2},
  {"PercentInexactQuotient",    150, 100,   7, kPct,   7, kPct, false, 0, true,  11,   7},
  {"PercentWithAspect",        4000, 3000, 20, kPct,   1, kPx,  true,  0, true, 800, 600},
  // Aspect kept: only the longer side's target counts.
  {"LandscapeByWidth",         4000, 3000, 800, kPx,   1, kPx,  true,  0, true, 800, 600},
  {"PortraitByHeight",         3000, 4000,   1, kPx, 800, kPx,  true,  0, true, 600, 800},
  {"SquareUsesWidth",           500, 500,  100, kPx,   7, kPx,  true,  0, true, 100, 100},
  {"ThinStrip",                1000, 333,  100, kPx,   1, kPx,  true,  0, true, 100,  33},
  {"HalfRoundsAwayFromZero",    800, 100,   20, kPx,   1, kPx,  true,  0, true,  20,   3},
  // 1200/1000 as a float is 1.20000005, so 75 / ratio falls just below 62.5.
  {"SinglePrecisionRatio",     1200, 1000,  75, kPx,   1, kPx,  true,  0, true,  75,  62},
  {"SinglePrecisionPortrait",  1000, 1200,   1, kPx,  75, kPx,  true,  0, true,  62,  75},
  {"FollowingSideRoundsToZero",1000, 1,      1, kPx,   1, kPx,  true,  0, true,   1,   0},
  {"AspectOff",                 640, 480,  100, kPx, 100, kPx,  false, 0, true, 100, 100},
  // Large images only: spared only when smaller than the target in both sides.
  {"LargeOnlySmallerBoth",      640, 480,  800, kPx, 600, kPx,  false, 1, false,  0,   0},
  {"LargeOnlyWiderOne",        1024, 480,  800, kPx, 600, kPx,  false, 1, true, 800, 600},
  {"LargeOnlyWiderOneAspect",  1024, 480,  800, kPx, 600, kPx,  true,  1, true, 800, 375},
  {"LargeOnlyEqualWidth",       800, 480,  800, kPx, 600, kPx,  false, 1, true, 800, 600},
  {"LargeOnlyGrowsAllImages",   640, 480,  800, kPx, 600, kPx,  false, 0, true, 800, 600},
  // Nothing to do.
  {"TargetEqualsSize",          640, 480,  640, kPx, 480, kPx,  false, 0, false,  0,   0},
  {"HundredPercent",            640, 480,  100, kPct,100, kPct, true,  0, false,  0,   0},
  {"ZeroWidth",                 640, 480,    0, kPx, 480, kPx,  false, 0, false,  0,   0},
  {"NegativeHeight",            640, 480,  320, kPx,  -5, kPx,  false, 0, false,  0,   0},
  {"PercentRoundsToZero",       640, 480,    0, kPct,  1, kPct, true,  0, false,  0,   0},
  {"UnknownUnit",               640, 480,  320, 2,   240, kPx,  false, 0, false,  0,   0},
};
// clang-format on

class ResizeSize : public ::testing::TestWithParam<SizeCase> {};

TEST_P(ResizeSize, ComputesTarget) {
  const SizeCase& c = GetParam();
  ConversionSettings s = CommandLineDefaults();
  s.doImageResize = 1;
  s.imageWidth = c.width;
  s.imageWidthUnit = static_cast<int8_t>(c.widthUnit);
  s.imageHeight = c.height;
  s.imageHeightUnit = static_cast<int8_t>(c.heightUnit);
  s.keepAspectRatio = c.keepAspect;
  s.imageResizeType = static_cast<int8_t>(c.resizeType);
  const ResizeTarget t = ComputeResizeTarget(c.w, c.h, s);
  ASSERT_EQ(t.resize, c.resize);
  if (c.resize) {
    EXPECT_EQ(t.width, c.newW);
    EXPECT_EQ(t.height, c.newH);
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, ResizeSize, ::testing::ValuesIn(kSizeCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ResizeArithmetic, RoundingHelpers) {
  constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
  constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
  const struct {
    double x;
    int32_t expected;
  } halfAway[] = {{0.5, 1},   {-0.5, -1},    {2.5, 3},     {-2.5, -3}, {0.49999997f, 0}, {0.0, 0},
                  {1e12, kMax}, {-1e12, kMin}, {std::nan(""), 0}};
  for (const auto& c : halfAway) EXPECT_EQ(RoundHalfAway(c.x), c.expected) << c.x;

  EXPECT_EQ(ScaledDimension(-333, kPx, 10), -333);
  EXPECT_EQ(ScaledDimension(25, kPct, 10), 2);    // 2.5
  EXPECT_EQ(ScaledDimension(25, kPct, 14), 4);    // 3.5
  EXPECT_EQ(ScaledDimension(-25, kPct, 10), -2);  // -2.5
  EXPECT_EQ(ScaledDimension(kMax, kPct, 60000), kMax);
  EXPECT_EQ(ScaledDimension(800, 7, 1000), 0);
}

// ------------------------------------------------------------- resize stage

struct FilterCase {
  int algorithm;
  FREE_IMAGE_FILTER filter;
};

TEST(ResizeStage, UsesTheFilterOfTheAlgorithmSetting) {
  // Setting order and library filter order differ; unknown values mean bicubic.
  const FilterCase cases[] = {{0, FILTER_BOX},        {1, FILTER_BILINEAR}, {2, FILTER_BSPLINE},
                              {3, FILTER_BICUBIC},    {4, FILTER_CATMULLROM}, {5, FILTER_LANCZOS3},
                              {9, FILTER_BICUBIC},    {-1, FILTER_BICUBIC}};
  ConversionSettings s = CommandLineDefaults();
  s.doImageResize = 1;
  s.imageWidth = 13;
  s.imageHeight = 9;
  const Bitmap source = MakeImage(32, 24, 24, Pattern);
  for (const FilterCase& c : cases) {
    SCOPED_TRACE(c.algorithm);
    s.imageResizeAlgorithm = static_cast<int8_t>(c.algorithm);
    EXPECT_EQ(ResizeFilter(s), c.filter);
    const Bitmap expected(FreeImage_Rescale(source.get(), 13, 9, c.filter));
    const Bitmap resized = ResizeImage(Clone(source.get()), 32, 24, s);
    ASSERT_TRUE(resized);
    EXPECT_TRUE(SamePixels(resized.get(), expected.get()));
  }
}

TEST(ResizeStage, HandsOnTheSameBitmapWhenNothingIsToBeDone) {
  const struct {
    const char* name;
    bool on;
    int32_t width, height;
    int resizeType;
  } cases[] = {{"Off", false, 10, 10, 0},
               {"SameSize", true, 64, 48, 0},
               {"SmallerThanLargeTarget", true, 800, 600, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ConversionSettings s = CommandLineDefaults();
    s.doImageResize = c.on;
    s.imageWidth = c.width;
    s.imageHeight = c.height;
    s.imageResizeType = static_cast<int8_t>(c.resizeType);
    Bitmap image = MakeImage(64, 48, 8, Pattern);
    FIBITMAP* const before = image.get();
    const Bitmap after = ResizeImage(std::move(image), 64, 48, s);
    EXPECT_EQ(after.get(), before);
    EXPECT_EQ(FreeImage_GetBPP(after.get()), 8u);
  }
}

TEST(ResizeStage, KeepsAspectOnARealImage) {
  ConversionSettings s = CommandLineDefaults();
  s.doImageResize = 1;
  s.keepAspectRatio = 1;
  s.imageWidth = 100;
  s.imageHeight = 1;
  const Bitmap resized = ResizeImage(MakeImage(1000, 333, 24, Pattern), 1000, 333, s);
  ASSERT_TRUE(resized);
  EXPECT_EQ(FreeImage_GetWidth(resized.get()), 100u);
  EXPECT_EQ(FreeImage_GetHeight(resized.get()), 33u);
}

// ------------------------------------------------------------------ rotation

ConversionSettings Rotation(int angle, int type, const char* backColor = "000000") {
  ConversionSettings s = CommandLineDefaults();
  s.doImageRotation = 1;
  s.imageRotation = angle;
  s.imageRotationType = static_cast<int8_t>(type);
  s.imageRotationBackColor = backColor;
  return s;
}

// A white image with an 8 x 8 block of the mark colour in its top-left corner.
Bitmap MarkedCorner(unsigned w, unsigned h, unsigned bpp = 24, Rgb mark = kRed) {
  return MakeImage(w, h, bpp,
                   [mark](unsigned x, unsigned row) { return x < 8 && row < 8 ? mark : kWhite; });
}

struct DirectionCase {
  const char* name;
  int type, angle;
  unsigned w, h;              // source size
  unsigned outW, outH;        // result size
  unsigned blockX, blockRow;  // where the centre of the red block lands
};

void PrintTo(const DirectionCase& c, std::ostream* os) { *os << c.name; }

// Positive angles turn the picture counter-clockwise.
const DirectionCase kDirections[] = {
    {"Simple90", 0, 90, 40, 24, 24, 40, 4, 35},
    {"Simple180", 0, 180, 40, 24, 40, 24, 35, 19},
    {"Simple270", 0, 270, 40, 24, 24, 40, 19, 4},
    {"Advanced90", 1, 90, 40, 40, 40, 40, 4, 35},
    {"Advanced270", 1, 270, 40, 40, 40, 40, 35, 4},
};

class RotationDirection : public ::testing::TestWithParam<DirectionCase> {};

TEST_P(RotationDirection, MovesTheCornerCounterClockwise) {
  const DirectionCase& c = GetParam();
  const Bitmap r = RotateImage(MarkedCorner(c.w, c.h), Rotation(c.angle, c.type));
  ASSERT_TRUE(r);
  ASSERT_EQ(FreeImage_GetWidth(r.get()), c.outW);
  ASSERT_EQ(FreeImage_GetHeight(r.get()), c.outH);
  EXPECT_EQ(At(r.get(), c.blockX, c.blockRow), kRed);
  EXPECT_EQ(At(r.get(), 4, 4), c.blockX == 4 && c.blockRow == 4 ? kRed : kWhite);
  EXPECT_EQ(At(r.get(), c.outW / 2, c.outH / 2), kWhite);
}

INSTANTIATE_TEST_SUITE_P(Cases, RotationDirection, ::testing::ValuesIn(kDirections),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RotationStage, DepthsBelowOrAbove24To32BitsAreRotatedAs24) {
  const struct {
    unsigned bpp, expected;
  } cases[] = {{1, 24}, {8, 24}, {16, 24}, {24, 24}, {32, 32}, {48, 24}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bpp);
    const Bitmap r = RotateImage(Uniform(40, 30, c.bpp, kWhite), Rotation(90, 0));
    ASSERT_TRUE(r);
    EXPECT_EQ(FreeImage_GetBPP(r.get()), c.expected);
    EXPECT_EQ(FreeImage_GetWidth(r.get()), 30u);
    EXPECT_EQ(FreeImage_GetHeight(r.get()), 40u);
    EXPECT_EQ(At(r.get(), 15, 20), kWhite);
  }
}

TEST(RotationStage, SimpleRotationFillsCornersWithTheBackColour) {
  const struct {
    const char* text;
    Rgb corner;
  } cases[] = {{"FF8000", {255, 128, 0}}, {"0080ff", {0, 128, 255}}, {"FF800", kBlack}};
  for (const auto& c : cases) {
    for (unsigned bpp : {24u, 32u}) {
      SCOPED_TRACE(std::string(c.text) + " at " + std::to_string(bpp));
      const Bitmap r = RotateImage(Uniform(60, 40, bpp, kWhite), Rotation(45, 0, c.text));
      ASSERT_TRUE(r);
      EXPECT_GT(FreeImage_GetWidth(r.get()), 60u);
      EXPECT_EQ(At(r.get(), 0, 0), c.corner);
      EXPECT_EQ(At(r.get(), FreeImage_GetWidth(r.get()) / 2, FreeImage_GetHeight(r.get()) / 2), kWhite);
      if (bpp == 32) {
        EXPECT_EQ(AlphaAt(r.get(), 0, 0), 0);
      }
    }
  }
}

TEST(RotationStage, AdvancedRotationKeepsTheCanvasAndMirrorsIntoTheCorners) {
  // Without the mask the library fills uncovered corners by mirroring the
  // image: neither the back colour nor black appears.
  const Bitmap r = RotateImage(Uniform(60, 40, 24, kWhite), Rotation(45, 1, "FF8000"));
  ASSERT_TRUE(r);
  EXPECT_EQ(FreeImage_GetWidth(r.get()), 60u);
  EXPECT_EQ(FreeImage_GetHeight(r.get()), 40u);
  EXPECT_EQ(At(r.get(), 0, 0), kWhite);
  EXPECT_EQ(At(r.get(), 59, 39), kWhite);
}

TEST(RotationStage, AnglesOutside1To359AndRotationOffLeaveTheBitmapAlone) {
  const struct {
    bool on;
    int angle;
  } cases[] = {{true, 0}, {true, 360}, {true, -90}, {true, 450}, {false, 90}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.angle);
    ConversionSettings s = Rotation(c.angle, 0);
    s.doImageRotation = c.on;
    Bitmap image = MarkedCorner(40, 24, 8);
    FIBITMAP* const before = image.get();
    const Bitmap after = RotateImage(std::move(image), s);
    EXPECT_EQ(after.get(), before);
    EXPECT_EQ(FreeImage_GetBPP(after.get()), 8u);
  }
}

TEST(RotationStage, UnknownTypeConvertsButDoesNotRotate) {
  const Bitmap r = RotateImage(MarkedCorner(40, 24, 8, kBlack), Rotation(90, 2));
  ASSERT_TRUE(r);
  EXPECT_EQ(FreeImage_GetBPP(r.get()), 24u);
  EXPECT_EQ(FreeImage_GetWidth(r.get()), 40u);
  EXPECT_EQ(FreeImage_GetHeight(r.get()), 24u);
  EXPECT_EQ(At(r.get(), 4, 4), kBlack);
  EXPECT_EQ(At(r.get(), 30, 20), kWhite);
}

// ---------------------------------------------------------------------- flip

TEST(FlipStage, MirrorsRowsAndColumns) {
  const struct {
    bool horizontal, vertical;
  } cases[] = {{true, false}, {false, true}, {true, true}, {false, false}};
  const Bitmap source = MakeImage(5, 3, 24, Pattern);
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.horizontal) + std::to_string(c.vertical));
    ConversionSettings s = CommandLineDefaults();
    s.doImageFlipHorizontal = c.horizontal;
    s.doImageFlipVertical = c.vertical;
    const Bitmap image = Clone(source.get());
    FlipImage(image.get(), s);
    for (unsigned row = 0; row < 3; ++row)
      for (unsigned x = 0; x < 5; ++x)
        EXPECT_EQ(At(image.get(), x, row),
                  Pattern(c.horizontal ? 4 - x : x, c.vertical ? 2 - row : row));
  }
}

// --------------------------------------------------------- colour adjustment

ConversionSettings Adjustment(int brightness, int contrast, float gamma, bool invert) {
  ConversionSettings s = CommandLineDefaults();
  s.doImageColorCorrection = 1;
  s.imageBrightness = brightness;
  s.imageContrast = contrast;
  s.imageGamma = gamma;
  s.imageInvert = invert;
  return s;
}

TEST(ColourAdjustment, NeutralValuesLeavePixelsAlone) {
  for (unsigned bpp : {8u, 24u, 32u}) {
    SCOPED_TRACE(bpp);
    const Bitmap source = MakeImage(9, 7, bpp, Pattern);
    Bitmap image = Clone(source.get());
    FIBITMAP* const before = image.get();
    const Bitmap after = AdjustImageColors(std::move(image), Adjustment(0, 0, 1.0f, false));
    EXPECT_EQ(after.get(), before);
    EXPECT_TRUE(SamePixels(after.get(), source.get()));
  }
}

TEST(ColourAdjustment, EachValueReachesItsOwnArgument) {
  // Grey 100 through one adjustment at a time.
  const struct {
    const char* name;
    int brightness, contrast;
    float gamma;
    bool invert;
    uint8_t expected;
  } cases[] = {{"Brightness", 50, 0, 1.0f, false, 150},  // 100 * 1.5
               {"Contrast", 0, 50, 1.0f, false, 86},     // 128 + (100 - 128) * 1.5
               {"Gamma", 0, 0, 2.0f, false, 160},        // 255 * (100 / 255)^(1/2)
               {"Invert", 0, 0, 1.0f, true, 155}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Bitmap r = AdjustImageColors(Uniform(4, 4, 24, {100, 100, 100}),
                                       Adjustment(c.brightness, c.contrast, c.gamma, c.invert));
    ASSERT_TRUE(r);
    EXPECT_EQ(At(r.get(), 1, 1), (Rgb{c.expected, c.expected, c.expected}));
  }
}

TEST(ColourAdjustment, DepthsTheLibraryCannotAdjustGoThrough24Bits) {
  // 1 bit: the two grey levels stay as they are under neutral values.
  const Bitmap bw = AdjustImageColors(
      MakeImage(9, 3, 1, [](unsigned x, unsigned) { return x % 2 ? kWhite : kBlack; }),
      Adjustment(0, 0, 1.0f, false));
  ASSERT_TRUE(bw);
  EXPECT_EQ(FreeImage_GetBPP(bw.get()), 24u);
  EXPECT_EQ(At(bw.get(), 0, 0), kBlack);
  EXPECT_EQ(At(bw.get(), 1, 0), kWhite);

  // 16 bits: the adjustment is applied, not skipped.
  const Bitmap inverted = AdjustImageColors(Uniform(4, 4, 16, {0, 0, 248}), Adjustment(0, 0, 1.0f, true));
  ASSERT_TRUE(inverted);
  EXPECT_EQ(FreeImage_GetBPP(inverted.get()), 24u);
  const Rgb c = At(inverted.get(), 2, 2);
  EXPECT_EQ(c.r, 255);
  EXPECT_EQ(c.g, 255);
  EXPECT_LE(c.b, 7);
}

// ------------------------------------------------------- greyscale, threshold

TEST(GreyscaleStage, EveryDepthBecomes8BitGrey) {
  ConversionSettings s = CommandLineDefaults();
  s.doImageGreyscale = 1;
  for (unsigned bpp : {1u, 8u, 16u, 24u, 32u, 48u}) {
    SCOPED_TRACE(bpp);
    const Bitmap g = GreyscaleImage(MakeImage(9, 7, bpp, Pattern), s);
    ASSERT_TRUE(g);
    EXPECT_EQ(FreeImage_GetBPP(g.get()), 8u);
    EXPECT_EQ(FreeImage_GetColorType(g.get()), FIC_MINISBLACK);
  }
}

TEST(ThresholdStage, OnlyTheLowEightBitsOfTheLevelCount) {
  // Grey 40 on the left half, grey 50 on the right.
  const PixelFn twoGreys = [](unsigned x, unsigned) {
    const uint8_t v = x < 4 ? 40 : 50;
    return Rgb{v, v, v};
  };
  const struct {
    int level;
    Rgb left, right;
  } cases[] = {{44, kBlack, kWhite}, {300, kBlack, kWhite}, {128, kBlack, kBlack},
               {-1, kBlack, kBlack}, {0, kWhite, kWhite},   {256, kWhite, kWhite}};
  for (const auto& c : cases) {
    for (unsigned bpp : {8u, 24u, 32u, 48u}) {
      SCOPED_TRACE(std::to_string(c.level) + " at " + std::to_string(bpp));
      ConversionSettings s = CommandLineDefaults();
      s.doImageThreshold = 1;
      s.imageThreshold = c.level;
      const Bitmap t = ThresholdImage(MakeImage(8, 2, bpp, twoGreys), s);
      ASSERT_TRUE(t);
      EXPECT_EQ(FreeImage_GetBPP(t.get()), 1u);
      EXPECT_EQ(At(t.get(), 1, 0), c.left);
      EXPECT_EQ(At(t.get(), 6, 1), c.right);
    }
  }
}

// ------------------------------------------------------ absence and failure

ConversionSettings EverythingOn() {
  ConversionSettings s = CommandLineDefaults();
  s.doImageRotation = 1;
  s.imageRotation = 30;
  s.doImageResize = 1;
  s.imageWidth = 50;
  s.imageHeight = 50;
  s.doImageFlipHorizontal = s.doImageFlipVertical = 1;
  s.doImageColorCorrection = 1;
  s.imageBrightness = 10;
  s.doImageGreyscale = 1;
  s.doImageThreshold = 1;
  s.imageThreshold = 128;
  return s;
}

TEST(TransformStages, AnAbsentBitmapStaysAbsent) {
  const ConversionSettings s = EverythingOn();
  EXPECT_FALSE(RotateImage(nullptr, s));
  EXPECT_FALSE(ResizeImage(nullptr, 100, 100, s));
  FlipImage(nullptr, s);
  EXPECT_FALSE(AdjustImageColors(nullptr, s));
  EXPECT_FALSE(GreyscaleImage(nullptr, s));
  EXPECT_FALSE(ThresholdImage(nullptr, s));
}

TEST(TransformStages, ALibraryRefusalHandsBackNoBitmap) {
  ConversionSettings s = EverythingOn();
  // Floating-point colour has no 24-bit conversion.
  EXPECT_FALSE(RotateImage(Bitmap(FreeImage_AllocateT(FIT_RGBF, 8, 8)), s));
  EXPECT_FALSE(AdjustImageColors(Bitmap(FreeImage_AllocateT(FIT_RGBF, 8, 8)), s));
  EXPECT_FALSE(GreyscaleImage(Bitmap(FreeImage_AllocateT(FIT_RGBF, 8, 8)), s));
  EXPECT_FALSE(ThresholdImage(Bitmap(FreeImage_AllocateT(FIT_RGBF, 8, 8)), s));
  // A kept aspect ratio that rounds the short side to 0 pixels.
  s.keepAspectRatio = 1;
  s.imageWidth = 1;
  EXPECT_FALSE(ResizeImage(Uniform(1000, 1, 24, kWhite), 1000, 1, s));
}

}  // namespace
