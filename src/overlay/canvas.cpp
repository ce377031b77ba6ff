// Canvases and their hand-over to FreeImage.
#include <cstring>

#include "overlay/overlay.h"
#include "overlay/pixels.h"

namespace {
// cairo refuses image surfaces larger than this on either side.
constexpr int64_t kMaxCanvasSide = 32767;
}  // namespace

Canvas CreateCanvas(int64_t width, int64_t height) {
  if (width <= 0 || height <= 0 || width > kMaxCanvasSide || height > kMaxCanvasSide) return nullptr;
  Canvas canvas(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, static_cast<int>(width), static_cast<int>(height)));
  if (cairo_surface_status(canvas.get()) != CAIRO_STATUS_SUCCESS) return nullptr;
  return canvas;
}

Bitmap CanvasToBitmap(cairo_surface_t* canvas) {
  if (!canvas || cairo_surface_get_type(canvas) != CAIRO_SURFACE_TYPE_IMAGE ||
      cairo_image_surface_get_format(canvas) != CAIRO_FORMAT_ARGB32)
    return nullptr;
  cairo_surface_flush(canvas);
  const int w = cairo_image_surface_get_width(canvas);
  const int h = cairo_image_surface_get_height(canvas);
  const int stride = cairo_image_surface_get_stride(canvas);
  const unsigned char* data = cairo_image_surface_get_data(canvas);
  if (w <= 0 || h <= 0 || !data) return nullptr;
  Bitmap out(FreeImage_Allocate(w, h, 32, FI_RGBA_RED_MASK, FI_RGBA_GREEN_MASK, FI_RGBA_BLUE_MASK));
  if (!out) return nullptr;
  for (int y = 0; y < h; ++y) {
    const auto* src = reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y) * stride);
    // FreeImage keeps its rows bottom-up.
    BYTE* dst = FreeImage_GetScanLine(out.get(), h - 1 - y);
    for (int x = 0; x < w; ++x, dst += 4) {
      const StraightPixel p = Unpremultiply(src[x]);
      dst[FI_RGBA_RED] = p.r;
      dst[FI_RGBA_GREEN] = p.g;
      dst[FI_RGBA_BLUE] = p.b;
      dst[FI_RGBA_ALPHA] = p.a;
    }
  }
  return out;
}

void CompositeOverlay(FIBITMAP* image, FIBITMAP* overlay, int x, int y) {
  const int ih = static_cast<int>(FreeImage_GetHeight(image));
  const int w = static_cast<int>(FreeImage_GetWidth(overlay));
  const int h = static_cast<int>(FreeImage_GetHeight(overlay));
  for (int row = 0; row < h; ++row) {
    // Overlay row `row` from the top lands on image row y + row from the top.
    const BYTE* src = FreeImage_GetScanLine(overlay, h - 1 - row);
    BYTE* dst = FreeImage_GetScanLine(image, ih - 1 - (y + row)) + static_cast<size_t>(x) * 3;
    for (int col = 0; col < w; ++col, src += 4, dst += 3) {
      // Pasting onto the zeroed canvas with blend factor 255 scales each
      // channel, alpha included, by 255/256.
      const uint32_t a = src[FI_RGBA_ALPHA] * 255u >> 8;
      if (a == 0) continue;
      CompositeOver(dst, src[FI_RGBA_RED] * 255u >> 8, src[FI_RGBA_GREEN] * 255u >> 8, src[FI_RGBA_BLUE] * 255u >> 8, a);
    }
  }
}
