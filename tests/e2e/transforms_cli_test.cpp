// The transform options through the real binary: the JPEG it writes has the
// size, depth and pixels the options ask for.
#include <cstdlib>
#include <string>
#include <vector>

#include "support/support.h"

using namespace testing_support;

namespace {

struct Probe {
  unsigned x, row;  // row 0 is the top row
  int r, g, b;
  int tolerance;  // JPEG loses a little, most near sharp edges
};

struct TransformCase {
  const char* name;
  int srcW, srcH, srcBpp;
  std::vector<std::string> options;
  unsigned width, height, bpp;  // of the saved JPEG; width 0: no file is written
  std::vector<Probe> probes;
};

void PrintTo(const TransformCase& c, std::ostream* os) { *os << c.name; }

// The source is MakeGradient: pixel (x, row) is red x*7, green row*11, blue 200.
constexpr int kTol = 8;
// clang-format off
const TransformCase kCases[] = {
  {"RotateQuarterTurn", 40, 30, 24, {"--rotation=90"}, 30, 40, 24,
     {{9, 20, 133, 99, 200, kTol}}},  // from source (19, 9): turned counter-clockwise
  {"RotateGreySourceKeepsGreyOutput", 40, 30, 8, {"--rotation=90"}, 30, 40, 8, {}},
  {"RotateFullTurnIsNoRotation", 40, 30, 24, {"--rotation=360"}, 40, 30, 24,
     {{19, 9, 133, 99, 200, kTol}}},
  {"RotateBackColour", 40, 30, 24, {"--rotation=45", "--rotation-back-color=FF0000"}, 50, 50, 24,
     {{0, 0, 255, 0, 0, 24}}},
  {"RotateAdvancedKeepsCanvas", 40, 30, 24, {"--rotation=90", "--rotation-type=advanced"}, 40, 30, 24, {}},
  {"ResizeKeepingAspect", 40, 30, 24, {"--width=20", "--height=1", "--keep-aspect-ratio"}, 20, 15, 24, {}},
  {"ResizePortraitByHeight", 30, 40, 24, {"--width=1", "--height=20", "--keep-aspect-ratio"}, 15, 20, 24, {}},
  {"ResizePercent", 40, 30, 24,
     {"--width=50", "--width-unit=percent", "--height=50", "--height-unit=percent"}, 20, 15, 24, {}},
  {"ResizeLargeOnlySparesSmall", 40, 30, 24,
     {"--width=800", "--height=600", "--resize-type=largeimages"}, 40, 30, 24,
     {{19, 9, 133, 99, 200, kTol}}},
  {"ResizeToZeroPixelsFails", 40, 10, 24, {"--width=1", "--height=1", "--keep-aspect-ratio"}, 0, 0, 0, {}},
  {"FlipBoth", 40, 30, 24, {"--flip-horizontal", "--flip-vertical"}, 40, 30, 24,
     {{20, 20, 133, 99, 200, kTol}}},  // from source (19, 9)
  {"Invert", 40, 30, 24, {"--invert"}, 40, 30, 24, {{19, 9, 122, 156, 55, kTol}}},
  {"GreyscaleToGreyJpeg", 40, 30, 24, {"--greyscale", "--jpg-bpp=8"}, 40, 30, 8, {}},
  // 300 acts as 44: grey 194 at (20, 20) turns white, grey 31 at (1, 1) black.
  {"ThresholdLowEightBits", 40, 30, 24, {"--threshold=300"}, 40, 30, 24,
     {{20, 20, 255, 255, 255, 40}, {1, 1, 0, 0, 0, 40}}},
};
// clang-format on

class TransformCli : public ::testing::TestWithParam<TransformCase> {
 protected:
  TempDir dir, runtime;
  std::string out = dir / "out";
  void SetUp() override { fs::create_directory(out); }
};

TEST_P(TransformCli, WritesTheTransformedImage) {
  const TransformCase& c = GetParam();
  const std::string in = WriteTga(dir / "photo.tga", c.srcW, c.srcH, c.srcBpp);
  std::vector<std::string> args{"-i", in, "-o", out};
  args.insert(args.end(), c.options.begin(), c.options.end());
  const RunResult r = RunVelmora(args, runtime.path());
  const std::string jpgPath = out + "/photo.jpg";

  if (c.width == 0) {
    EXPECT_EQ(r.exitCode, 1) << r.out << r.err;
    ASSERT_FALSE(r.lines().empty());
    EXPECT_EQ(r.lines().back(), "Conversion stopped");
    EXPECT_FALSE(fs::exists(jpgPath));
    return;
  }
  ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
  TestBitmap jpg = LoadJpeg(jpgPath);
  ASSERT_TRUE(jpg);
  EXPECT_EQ(FreeImage_GetWidth(jpg.get()), c.width);
  EXPECT_EQ(FreeImage_GetHeight(jpg.get()), c.height);
  EXPECT_EQ(FreeImage_GetBPP(jpg.get()), c.bpp);
  for (const Probe& p : c.probes) {
    SCOPED_TRACE("probe " + std::to_string(p.x) + "," + std::to_string(p.row));
    RGBQUAD px{};
    ASSERT_TRUE(FreeImage_GetPixelColor(jpg.get(), p.x, c.height - 1 - p.row, &px));
    EXPECT_NEAR(px.rgbRed, p.r, p.tolerance);
    EXPECT_NEAR(px.rgbGreen, p.g, p.tolerance);
    EXPECT_NEAR(px.rgbBlue, p.b, p.tolerance);
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, TransformCli, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
