#include "engine/stages.h"
#include "overlay/overlay.h"
#include "overlay_fixture.h"

using namespace overlay_test;

namespace {

constexpr Rgba kRed{255, 0, 0}, kBlue{0, 0, 255}, kGreen{0, 255, 0}, kYellow{255, 255, 0};
constexpr Rgba kBlack{0, 0, 0}, kWhite{255, 255, 255};

ConversionSettings Framed(int l, int r, int t, int b) {
  ConversionSettings s = Defaults();
  s.doFrame = 1;
  s.solidLeft = l, s.solidRight = r, s.solidTop = t, s.solidBottom = b;
  s.solidTopColor = "FF0000", s.solidLeftColor = "0000FF", s.solidRightColor = "00FF00", s.solidBottomColor = "FFFF00";
  return s;
}

// The whole frame painted on one image-size canvas, handed over and
// composited by FreeImage.
Bitmap FullCanvasFrame(FIBITMAP* image, int W, int H, const ConversionSettings& s) {
  Canvas canvas = CreateCanvas(W, H);
  CairoContext cr(cairo_create(canvas.get()));
  PaintFrameBands(cr.get(), W, H, s);
  cr.reset();
  Bitmap fg = CanvasToBitmap(canvas.get());
  const int opacity = std::clamp(s.solidOpacity, 0, 255);
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) {
      Rgba p = At(fg.get(), x, y);
      p.a = p.a * opacity / 255;
      Put(fg.get(), x, y, p);
    }
  return Bitmap(FreeImage_Composite(fg.get(), FALSE, nullptr, image));
}

}  // namespace

TEST(Frame, CornersAreSplitAlongTheDiagonal) {
  Bitmap out = ApplyFrame(Solid(40, 40, kBlack), 40, 40, Framed(10, 10, 10, 10));
  EXPECT_EQ(At(out.get(), 9, 2), kRed);  // above the seam from (0,0) to (10,10)
  EXPECT_EQ(At(out.get(), 2, 9), kBlue);
  EXPECT_EQ(At(out.get(), 30, 2), kRed);  // top-right corner: top above, right below
  EXPECT_EQ(At(out.get(), 37, 9), kGreen);
  EXPECT_EQ(At(out.get(), 37, 30), kGreen);
  EXPECT_EQ(At(out.get(), 30, 37), kYellow);
  EXPECT_EQ(At(out.get(), 20, 20), kBlack);

  // With L = 5 and T = 20 the seam runs from (0,0) to (5,20): at row 12 it
  // lies near x = 3, where a 45-degree seam would put x = 12.
  out = ApplyFrame(Solid(40, 40, kBlack), 40, 40, Framed(5, 10, 20, 10));
  EXPECT_EQ(At(out.get(), 1, 12), kBlue);
  EXPECT_EQ(At(out.get(), 4, 12), kRed);
  EXPECT_EQ(At(out.get(), 4, 21), kBlue);
  EXPECT_EQ(At(out.get(), 5, 21), kBlack);
}

TEST(Frame, OpacityAppliesOnceAndLeavesTheInsideAlone) {
  ConversionSettings s = Framed(6, 6, 6, 6);
  s.solidTopColor = s.solidLeftColor = s.solidRightColor = s.solidBottomColor = "FFFFFF";
  s.solidOpacity = 128;
  Bitmap grey = ApplyFrame(Solid(30, 30, kBlack), 30, 30, s);
  for (auto [x, y] : {std::pair{0, 0}, {3, 3}, {15, 2}, {2, 15}, {29, 29}, {5, 0}}) {
    const Rgba p = At(grey.get(), x, y);
    EXPECT_TRUE(p.r == 127 || p.r == 128) << x << "," << y << " " << p;
    EXPECT_TRUE(p.r == p.g && p.g == p.b) << p;
  }

  Bitmap noise = Noise(30, 30, 3);
  Bitmap framed = ApplyFrame(Clone(noise.get()), 30, 30, s);
  for (int y = 6; y < 24; ++y)
    for (int x = 6; x < 24; ++x) ASSERT_EQ(At(framed.get(), x, y), At(noise.get(), x, y)) << x << "," << y;
}

TEST(Frame, ColourTextsThatAreNotSixCharactersGiveBlack) {
  struct Case {
    const char* text;
    Rgba expected;
  } cases[] = {{"FF0000", kRed}, {"#FF0000", kBlack}, {"F00", kBlack}, {"ff8000", {255, 128, 0}}, {"", kBlack},
               {"FFxx00", {255, 0, 0}}};
  for (const Case& c : cases) {
    ConversionSettings s = Framed(4, 4, 4, 4);
    s.solidTopColor = c.text;
    Bitmap out = ApplyFrame(Solid(20, 20, kWhite), 20, 20, s);
    EXPECT_EQ(At(out.get(), 10, 1), c.expected) << c.text;
  }
}

TEST(Frame, DepthAndPassThrough) {
  const Rgba translucent{10, 200, 30, 40};
  // Do Frame 0 hands back the very bitmap it was given.
  Bitmap in = Solid(8, 8, translucent, 32);
  FIBITMAP* raw = in.get();
  ConversionSettings s = Framed(2, 2, 2, 2);
  s.doFrame = 0;
  Bitmap out = ApplyFrame(std::move(in), 8, 8, s);
  EXPECT_EQ(out.get(), raw);
  EXPECT_EQ(FreeImage_GetBPP(out.get()), 32u);

  // Any other type drops the alpha channel; only 1 draws.
  for (int type : {1, 2, -1}) {
    s = Framed(0, 0, 0, 0);
    s.doFrame = static_cast<int8_t>(type);
    out = ApplyFrame(Solid(8, 8, translucent, 32), 8, 8, s);
    ASSERT_TRUE(out);
    EXPECT_EQ(FreeImage_GetBPP(out.get()), 24u);
    EXPECT_EQ(At(out.get(), 0, 0), (Rgba{10, 200, 30}));
  }
  EXPECT_FALSE(ApplyFrame(nullptr, 8, 8, Framed(2, 2, 2, 2)));
}

struct FrameCase {
  const char* name;
  int l, r, t, b, opacity;
  bool exact;  // bands that fit the image: tiles match the image-size canvas
};

void PrintTo(const FrameCase& c, std::ostream* os) { *os << c.name; }

class FrameTiles : public ::testing::TestWithParam<FrameCase> {};

// Drawing only the margins tile by tile composites the pixels of one
// image-size canvas. Widths no rule covers (negative, wider
// than the image, far out of range) never crash and stay within the margins.
TEST_P(FrameTiles, MatchFullCanvasRoute) {
  const FrameCase c = GetParam();
  const int W = 97, H = 71;
  ConversionSettings s = Framed(c.l, c.r, c.t, c.b);
  s.solidOpacity = c.opacity;
  Bitmap image = Noise(W, H, 5);
  Bitmap expected = FullCanvasFrame(image.get(), W, H, s);
  for (int tile : {7, 32, 1024}) {
    Bitmap out = ApplyFrameTiled(Clone(image.get()), W, H, s, tile);
    ASSERT_TRUE(out);
    if (c.exact) {
      EXPECT_EQ(CountDifferences(out.get(), expected.get()), 0) << "tile " << tile;
      continue;
    }
    auto inMargin = [&](int x, int y) { return x < c.l || x >= W - c.r || y < c.t || y >= H - c.b; };
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x)
        if (!inMargin(x, y)) {
          ASSERT_EQ(At(out.get(), x, y), At(image.get(), x, y)) << x << "," << y;
        }
  }
}

INSTANTIATE_TEST_SUITE_P(Widths, FrameTiles,
                         ::testing::Values(FrameCase{"Even", 10, 10, 10, 10, 255, true},
                                           FrameCase{"Uneven", 5, 7, 20, 3, 255, true},
                                           FrameCase{"OneSideMissing", 13, 0, 6, 25, 200, true},
                                           FrameCase{"Wide", 31, 30, 32, 29, 77, true},
                                           FrameCase{"Shallow", 60, 3, 2, 50, 255, true},
                                           FrameCase{"Negative", -5, 12, -3, 9, 255, true},
                                           FrameCase{"WiderThanImage", 70, 60, 40, 45, 255, false},
                                           FrameCase{"Overlapping", 200, 1, 1, 200, 90, true},
                                           FrameCase{"OutOfRange", 2000000000, 3, -2000000000, 8, 255, true}),
                         [](const auto& info) { return std::string(info.param.name); });
