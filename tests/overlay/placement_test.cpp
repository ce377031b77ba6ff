#include <optional>

#include "overlay/overlay.h"
#include "overlay_fixture.h"

using namespace overlay_test;

namespace {

struct Box {
  int x, y, w, h;
  bool operator==(const Box&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Box& b) {
  return os << "[" << b.x << "," << b.y << " " << b.w << "x" << b.h << "]";
}

// The bounding box of the pixels that differ from the plain black image.
std::optional<Box> MarkedBox(FIBITMAP* b) {
  int x0 = INT32_MAX, y0 = INT32_MAX, x1 = -1, y1 = -1;
  for (int y = 0; y < int(FreeImage_GetHeight(b)); ++y)
    for (int x = 0; x < int(FreeImage_GetWidth(b)); ++x)
      if (!(At(b, x, y) == Rgba{0, 0, 0})) {
        x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y);
      }
  if (x1 < 0) return std::nullopt;
  return Box{x0, y0, x1 - x0 + 1, y1 - y0 + 1};
}

struct PlaceCase {
  const char* name;
  int position, x, y;
  int overlayW, overlayH;
  int boundary = 0;
  int frame = 0;  // Do Frame with this width on every side, 0 for none
  std::optional<Box> expected;
};

void PrintTo(const PlaceCase& c, std::ostream* os) { *os << c.name; }

}  // namespace

class PlaceOverlayTest : public ::testing::TestWithParam<PlaceCase> {};

TEST_P(PlaceOverlayTest, LandsWhereExpected) {
  const PlaceCase c = GetParam();
  ConversionSettings s = Defaults();
  s.doFrame = c.frame ? 1 : 0;
  s.solidLeft = s.solidRight = s.solidTop = s.solidBottom = c.frame;
  const Placement p{c.boundary, c.position, c.x, c.y, 0};
  Bitmap out = PlaceOverlay(Solid(100, 80, {0, 0, 0}), Solid(c.overlayW, c.overlayH, {255, 255, 255, 255}, 32), 100,
                            80, p, s);
  ASSERT_TRUE(out);
  EXPECT_EQ(MarkedBox(out.get()), c.expected);
}

// Image 100 x 80. Right and bottom offsets count inwards; the centre column
// and middle row ignore theirs; halves truncate.
INSTANTIATE_TEST_SUITE_P(
    Grid, PlaceOverlayTest,
    ::testing::Values(
        PlaceCase{"TopLeft", 0, 7, 5, 20, 10, 0, 0, Box{7, 5, 20, 10}},
        PlaceCase{"TopCentre", 1, 7, 5, 20, 10, 0, 0, Box{40, 5, 20, 10}},
        PlaceCase{"TopRight", 2, 7, 5, 20, 10, 0, 0, Box{73, 5, 20, 10}},
        PlaceCase{"MiddleLeft", 3, 7, 5, 20, 10, 0, 0, Box{7, 35, 20, 10}},
        PlaceCase{"MiddleCentre", 4, 7, 5, 21, 11, 0, 0, Box{39, 34, 21, 11}},
        PlaceCase{"MiddleRight", 5, 7, 5, 20, 10, 0, 0, Box{73, 35, 20, 10}},
        PlaceCase{"BottomLeft", 6, 7, 5, 20, 10, 0, 0, Box{7, 65, 20, 10}},
        PlaceCase{"BottomCentre", 7, 7, 5, 20, 10, 0, 0, Box{40, 65, 20, 10}},
        PlaceCase{"BottomRight", 8, 10, 10, 20, 10, 0, 0, Box{70, 60, 20, 10}},
        PlaceCase{"UnknownCodeAtOrigin", 9, 7, 5, 20, 10, 0, 0, Box{0, 0, 20, 10}},
        PlaceCase{"InsideFrame", 8, 10, 10, 20, 10, 1, 20, Box{50, 40, 20, 10}},
        PlaceCase{"FrameBoundaryWithoutFrame", 8, 10, 10, 20, 10, 1, 0, Box{70, 60, 20, 10}},
        PlaceCase{"FrameIgnoredForImageBoundary", 8, 10, 10, 20, 10, 0, 20, Box{70, 60, 20, 10}},
        PlaceCase{"WideBlockCroppedToImage", 4, 0, 0, 150, 10, 0, 0, Box{0, 35, 100, 10}},
        PlaceCase{"WideBlockCroppedToFrame", 4, 0, 0, 150, 10, 1, 20, Box{20, 35, 60, 10}},
        PlaceCase{"OffsetsCropToo", 2, 90, 0, 20, 10, 0, 0, Box{0, 0, 10, 10}},
        PlaceCase{"NegativeOffsetPastesNothing", 0, -1, 0, 20, 10, 0, 0, std::nullopt},
        PlaceCase{"OffsetAsLargeAsImage", 0, 100, 0, 20, 10, 0, 0, std::nullopt},
        PlaceCase{"FrameWiderThanImage", 4, 0, 0, 20, 10, 1, 60, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PlaceOverlay, RotatesOnlyStrictlyBetweenZeroAnd360) {
  // A red corner marks the overlay's top-left.
  Bitmap marker = Solid(20, 10, {255, 255, 255, 255}, 32);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 3; ++x) Put(marker.get(), x, y, {255, 0, 0, 255});
  const ConversionSettings s = Defaults();
  auto place = [&](int angle) {
    return PlaceOverlay(Solid(100, 80, {0, 0, 0}), Clone(marker.get()), 100, 80, Placement{0, 0, 0, 0, angle}, s);
  };
  for (int angle : {0, 360, -90, 720}) {
    Bitmap out = place(angle);
    EXPECT_EQ(MarkedBox(out.get()), (Box{0, 0, 20, 10})) << angle;
    EXPECT_EQ(At(out.get(), 1, 1).g, 0) << angle;
  }
  // A quarter turn counter-clockwise stands the block up and takes the
  // top-left corner to the bottom-left.
  Bitmap turned = place(90);
  EXPECT_EQ(MarkedBox(turned.get()), (Box{0, 0, 10, 20}));
  EXPECT_EQ(At(turned.get(), 1, 18).g, 0);
  EXPECT_GT(At(turned.get(), 8, 1).g, 200);
  // Other angles enlarge the overlay; the corners it does not cover stay clear.
  Bitmap tilted = place(45);
  const std::optional<Box> box = MarkedBox(tilted.get());
  ASSERT_TRUE(box);
  EXPECT_GT(box->h, 15);
  EXPECT_EQ(At(tilted.get(), 0, 0), (Rgba{0, 0, 0}));
}

TEST(PlaceOverlay, ToleratesMissingPieces) {
  const ConversionSettings s = Defaults();
  EXPECT_FALSE(PlaceOverlay(nullptr, Solid(4, 4, {}, 32), 10, 10, Placement{}, s));
  Bitmap image = Solid(10, 10, {1, 2, 3});
  FIBITMAP* raw = image.get();
  EXPECT_EQ(PlaceOverlay(std::move(image), nullptr, 10, 10, Placement{}, s).get(), raw);
}
