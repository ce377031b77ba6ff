// Frames and watermarks through the real binary: the options a user types and
// the JPEG that comes out.
#include "support/support.h"

using namespace testing_support;

namespace {

struct Rgb {
  int r, g, b;
};

Rgb PixelAt(FIBITMAP* b, int x, int y) {
  RGBQUAD q{};
  EXPECT_TRUE(FreeImage_GetPixelColor(b, x, FreeImage_GetHeight(b) - 1 - y, &q));
  return {q.rgbRed, q.rgbGreen, q.rgbBlue};
}

// JPEG keeps colours close, not exact.
void ExpectNear(const Rgb& got, const Rgb& want, const char* where) {
  EXPECT_NEAR(got.r, want.r, 12) << where;
  EXPECT_NEAR(got.g, want.g, 12) << where;
  EXPECT_NEAR(got.b, want.b, 12) << where;
}

class OverlayCli : public ::testing::Test {
 protected:
  TempDir dir, runtime;
  std::string in = WriteTga(dir / "photo.tga", 120, 60);
  std::string out = dir / "out";
  void SetUp() override { fs::create_directory(out); }
  RunResult Run(std::vector<std::string> args, const std::vector<std::string>& env = {}) {
    args.insert(args.begin(), {"-i", in, "-o", out});
    return RunVelmora(args, runtime.path(), env);
  }
  std::string Output() const { return out + "/photo.jpg"; }
};

}  // namespace

TEST_F(OverlayCli, TextWatermarkShowsThisImagesSizeAndDepth) {
  const std::vector<std::string> style = {"--wm-back-color=FF00FF", "--wm-back-opacity=255",
                                          "--wm-text-position=topleft", "--wm-text-x-offset=0",
                                          "--wm-text-y-offset=0", "--wm-text-padding=3"};
  auto with = [&](std::string text) {
    std::vector<std::string> args = style;
    args.push_back("--wm-text=" + text);
    return args;
  };
  ASSERT_EQ(Run(with("Size %width%x%height% %bpp%")).exitCode, 0);
  const std::string tokens = ReadFile(Output());
  ASSERT_EQ(Run(with("Size 120x60 24")).exitCode, 0);
  EXPECT_EQ(ReadFile(Output()), tokens) << "the tokens must read 120, 60 and 24";

  TestBitmap jpg = LoadJpeg(Output());
  ASSERT_TRUE(jpg);
  ExpectNear(PixelAt(jpg.get(), 1, 1), {252, 0, 252}, "block background");
  ExpectNear(PixelAt(jpg.get(), 110, 50), {110 * 7 % 256, 50 * 11 % 256, 200}, "image beside the block");
}

TEST_F(OverlayCli, PictureWatermarkAndFrame) {
  TestBitmap logo(FreeImage_Allocate(10, 8, 24));
  for (unsigned y = 0; y < 8; ++y)
    for (unsigned x = 0; x < 10; ++x) {
      RGBQUAD red{0, 0, 255, 0};
      FreeImage_SetPixelColor(logo.get(), x, y, &red);
    }
  const std::string logoPath = dir / "logo.png";
  ASSERT_TRUE(FreeImage_Save(FIF_PNG, logo.get(), logoPath.c_str(), 0));

  const RunResult r =
      Run({"--wm-image=" + logoPath, "--wm-image-position=bottomright", "--wm-image-x-offset=5",
           "--wm-image-y-offset=4", "--wm-image-boundary=frame", "--fr-solid-left=6", "--fr-solid-right=6",
           "--fr-solid-top=6", "--fr-solid-bottom=6", "--fr-solid-top-color=00FF00", "--fr-solid-left-color=0000FF",
           "--fr-solid-right-color=FFFFFF", "--fr-solid-bottom-color=000000"});
  ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
  TestBitmap jpg = LoadJpeg(Output());
  ASSERT_TRUE(jpg);
  ExpectNear(PixelAt(jpg.get(), 60, 2), {0, 255, 0}, "top band");
  ExpectNear(PixelAt(jpg.get(), 2, 30), {0, 0, 255}, "left band");
  ExpectNear(PixelAt(jpg.get(), 117, 30), {255, 255, 255}, "right band");
  // Inside the frame, 5 and 4 pixels in from its inner edge.
  ExpectNear(PixelAt(jpg.get(), 120 - 6 - 5 - 5, 60 - 6 - 4 - 4), {252, 0, 0}, "picture");
  ExpectNear(PixelAt(jpg.get(), 120 - 6 - 5 - 14, 60 - 6 - 4 - 4), {(120 - 6 - 5 - 14) * 7 % 256, 46 * 11 % 256, 200},
             "left of the picture");
}

TEST_F(OverlayCli, NoUsableFontStopsTheRun) {
  const std::string conf = dir / "fonts.conf";
  WriteFile(conf, "<?xml version=\"1.0\"?>\n<fontconfig><cachedir>" + dir / "cache" + "</cachedir></fontconfig>\n");
  const RunResult r = Run({"--wm-text=Mark"}, {"FONTCONFIG_FILE=" + conf});
  EXPECT_EQ(r.exitCode, 1);
  ASSERT_FALSE(r.lines().empty());
  EXPECT_EQ(r.lines().back(), "Error: Invalid watermark font");
  EXPECT_FALSE(fs::exists(Output()));

  // Any name at all is served by some face while fonts exist.
  EXPECT_EQ(Run({"--wm-text=Mark", "--wm-font=No Such Face"}).exitCode, 0);
}
