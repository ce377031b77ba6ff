// The hand-over of canvases to FreeImage and the in-place composite must give
// the very pixels of the full-size routes they replace.
#include <cstring>
#include <vector>

#include "overlay/overlay.h"
#include "overlay_fixture.h"

using namespace overlay_test;

namespace {

cairo_status_t AppendBytes(void* closure, const unsigned char* data, unsigned int length) {
  auto* out = static_cast<std::vector<BYTE>*>(closure);
  out->insert(out->end(), data, data + length);
  return CAIRO_STATUS_SUCCESS;
}

// Encodes the canvas as PNG in memory and decodes it with FreeImage.
Bitmap PngRoundTrip(cairo_surface_t* canvas) {
  std::vector<BYTE> png;
  EXPECT_EQ(cairo_surface_write_to_png_stream(canvas, AppendBytes, &png), CAIRO_STATUS_SUCCESS);
  FIMEMORY* mem = FreeImage_OpenMemory(png.data(), static_cast<DWORD>(png.size()));
  Bitmap b(FreeImage_LoadFromMemory(FIF_PNG, mem, 0));
  FreeImage_CloseMemory(mem);
  return b;
}

}  // namespace

TEST(CanvasHandOver, MatchesPngRoundTrip) {
  // Every premultiplied value a canvas can hold, including the fully
  // transparent and the opaque, in a shape whose rows are told apart.
  const int w = 61, h = 37;
  Canvas canvas = CreateCanvas(w, h);
  ASSERT_TRUE(canvas);
  cairo_surface_flush(canvas.get());
  unsigned char* data = cairo_image_surface_get_data(canvas.get());
  const int stride = cairo_image_surface_get_stride(canvas.get());
  std::mt19937 rng(7);
  for (int y = 0; y < h; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(data + y * stride);
    for (int x = 0; x < w; ++x) {
      const uint32_t a = (x == 0) ? 0 : (x == 1) ? 255 : rng() % 256;
      auto c = [&] { return a == 0 ? 0u : uint32_t(rng() % (a + 1)); };
      row[x] = a << 24 | c() << 16 | c() << 8 | c();
    }
  }
  cairo_surface_mark_dirty(canvas.get());

  Bitmap direct = CanvasToBitmap(canvas.get());
  Bitmap viaPng = PngRoundTrip(canvas.get());
  ASSERT_TRUE(direct);
  ASSERT_TRUE(viaPng);
  ASSERT_EQ(FreeImage_GetBPP(direct.get()), 32u);
  ASSERT_EQ(FreeImage_GetBPP(viaPng.get()), 32u);
  ASSERT_EQ(FreeImage_GetWidth(direct.get()), unsigned(w));
  ASSERT_EQ(FreeImage_GetHeight(direct.get()), unsigned(h));
  EXPECT_EQ(CountDifferences(direct.get(), viaPng.get()), 0);
}

TEST(CanvasHandOver, RefusesWhatCairoCannotHold) {
  EXPECT_FALSE(CreateCanvas(0, 10));
  EXPECT_FALSE(CreateCanvas(10, -1));
  EXPECT_FALSE(CreateCanvas(40000, 10));
  EXPECT_FALSE(CanvasToBitmap(nullptr));
}

struct PasteCase {
  int x, y, w, h;
};

void PrintTo(const PasteCase& c, std::ostream* os) { *os << c.w << "x" << c.h << "@" << c.x << "," << c.y; }

class CompositeOverlayTest : public ::testing::TestWithParam<PasteCase> {};

// Pasting onto a transparent full-size canvas with blend factor 255 and
// compositing that canvas over the image, done by FreeImage itself.
TEST_P(CompositeOverlayTest, EqualsPasteThenComposite) {
  const PasteCase c = GetParam();
  const int W = 50, H = 40;
  Bitmap image = Noise(W, H, 11);
  Bitmap overlay = Noise(c.w, c.h, 12, 32);

  Bitmap canvas(FreeImage_AllocateT(FIT_BITMAP, W, H, 32, 0, 0, 0));
  ASSERT_TRUE(FreeImage_Paste(canvas.get(), overlay.get(), c.x, c.y, 255));
  Bitmap expected(FreeImage_Composite(canvas.get(), FALSE, nullptr, image.get()));
  ASSERT_TRUE(expected);

  CompositeOverlay(image.get(), overlay.get(), c.x, c.y);
  EXPECT_EQ(CountDifferences(image.get(), expected.get()), 0);
}

INSTANTIATE_TEST_SUITE_P(Spots, CompositeOverlayTest,
                         ::testing::Values(PasteCase{0, 0, 50, 40}, PasteCase{3, 5, 17, 9}, PasteCase{33, 31, 17, 9},
                                           PasteCase{49, 39, 1, 1}));
