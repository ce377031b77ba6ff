// Solid frame: four coloured bands with mitred corners painted over the outer
// margins of the image.
#include <algorithm>
#include <vector>

#include "engine/stages.h"
#include "overlay/overlay.h"
#include "overlay/pixels.h"
#include "settings/color.h"

namespace {

struct Point {
  double x, y;
};
using Polygon = std::vector<Point>;

// Clips against one half-plane; points inside keep their winding number, so the
// visible part of any band, however inverted, is filled as before.
template <typename Inside, typename Cross>
Polygon ClipEdge(const Polygon& in, Inside inside, Cross cross) {
  Polygon out;
  for (size_t i = 0; i < in.size(); ++i) {
    const Point& a = in[i];
    const Point& b = in[(i + 1) % in.size()];
    const bool ia = inside(a), ib = inside(b);
    if (ia) out.push_back(a);
    if (ia != ib) out.push_back(cross(a, b));
  }
  return out;
}

// Bands with widths far outside the image would overflow cairo's fixed-point
// coordinates; keeping only what lies within a pixel of the image draws the
// same pixels.
Polygon ClipToBox(Polygon p, double x0, double y0, double x1, double y1) {
  auto atX = [](double x) {
    return [x](const Point& a, const Point& b) { return Point{x, a.y + (b.y - a.y) * (x - a.x) / (b.x - a.x)}; };
  };
  auto atY = [](double y) {
    return [y](const Point& a, const Point& b) { return Point{a.x + (b.x - a.x) * (y - a.y) / (b.y - a.y), y}; };
  };
  p = ClipEdge(p, [&](const Point& q) { return q.x >= x0; }, atX(x0));
  p = ClipEdge(p, [&](const Point& q) { return q.x <= x1; }, atX(x1));
  p = ClipEdge(p, [&](const Point& q) { return q.y >= y0; }, atY(y0));
  p = ClipEdge(p, [&](const Point& q) { return q.y <= y1; }, atY(y1));
  return p;
}

void FillPolygon(cairo_t* cr, const Polygon& shape, uint32_t colour, int width, int height) {
  const Polygon p = ClipToBox(shape, -1.0, -1.0, width + 1.0, height + 1.0);
  if (p.size() < 3) return;
  cairo_set_source_rgb(cr, (colour & 0xff) / 255.0, (colour >> 8 & 0xff) / 255.0, (colour >> 16 & 0xff) / 255.0);
  cairo_move_to(cr, p[0].x, p[0].y);
  for (size_t i = 1; i < p.size(); ++i) cairo_line_to(cr, p[i].x, p[i].y);
  cairo_close_path(cr);
  cairo_fill(cr);
}

Polygon Rect(double x, double y, double w, double h) { return {{x, y}, {x + w, y}, {x + w, y + h}, {x, y + h}}; }

struct Region {
  int64_t x, y, w, h;
  bool corner;
};

// Each tile is painted with a margin that is not composited: cairo's coverage
// of pixels right at a canvas edge can differ from an uncut canvas.
constexpr int kApron = 4;
// Corners up to this size get one canvas; larger ones (rare, huge frames) are
// cut, which may shift the antialiasing of their seam by a level or two. No
// tile is larger.
constexpr int64_t kCornerTile = 4096;

// Composites the inside of one painted tile (without its apron) over the
// image at the frame opacity.
void CompositeTile(FIBITMAP* image, cairo_surface_t* tile, int x0, int y0, int tw, int th, uint32_t opacity) {
  cairo_surface_flush(tile);
  const int stride = cairo_image_surface_get_stride(tile);
  const unsigned char* data = cairo_image_surface_get_data(tile) + kApron * stride + kApron * 4;
  const int ih = static_cast<int>(FreeImage_GetHeight(image));
  for (int row = 0; row < th; ++row) {
    const auto* src = reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(row) * stride);
    BYTE* dst = FreeImage_GetScanLine(image, ih - 1 - (y0 + row)) + static_cast<size_t>(x0) * 3;
    for (int col = 0; col < tw; ++col, dst += 3) {
      if (src[col] == 0) continue;
      const StraightPixel p = Unpremultiply(src[col]);
      CompositeOver(dst, p.r, p.g, p.b, p.a * opacity / 255);
    }
  }
}

}  // namespace

void PaintFrameBands(cairo_t* cr, int width, int height, const ConversionSettings& s) {
  const double W = width, H = height;
  const double L = s.solidLeft, R = s.solidRight, T = s.solidTop, B = s.solidBottom;
  const uint32_t cl = ParseHexColor(s.solidLeftColor, 255);
  const uint32_t cr_ = ParseHexColor(s.solidRightColor, 255);
  const uint32_t ct = ParseHexColor(s.solidTopColor, 255);
  const uint32_t cb = ParseHexColor(s.solidBottomColor, 255);
  // Corner squares first: the bands' diagonals then meet over an opaque
  // ground instead of letting the image show through their antialiased seam.
  FillPolygon(cr, Rect(0, 0, L, T), ct, width, height);
  FillPolygon(cr, Rect(W - R, 0, R, T), cr_, width, height);
  FillPolygon(cr, Rect(W - R, H - B, R, B), cb, width, height);
  FillPolygon(cr, Rect(0, H - B, L, B), cl, width, height);
  FillPolygon(cr, {{0, 0}, {W, 0}, {W - R, T}, {L, T}}, ct, width, height);
  FillPolygon(cr, {{W, 0}, {W, H}, {W - R, H - B}, {W - R, T}}, cr_, width, height);
  FillPolygon(cr, {{W, H}, {0, H}, {L, H - B}, {W - R, H - B}}, cb, width, height);
  FillPolygon(cr, {{0, H}, {0, 0}, {L, T}, {L, H - B}}, cl, width, height);
}

Bitmap ApplyFrameTiled(Bitmap bitmap, int width, int height, const ConversionSettings& s, int tile) {
  if (s.doFrame == 0 || !bitmap) return bitmap;
  if (FreeImage_GetBPP(bitmap.get()) != 24) {
    // Drops any alpha channel of the image.
    bitmap = Bitmap(FreeImage_ConvertTo24Bits(bitmap.get()));
    if (!bitmap) return bitmap;
  }
  if (s.doFrame != 1) return bitmap;
  if (width <= 0 || height <= 0 || FreeImage_GetWidth(bitmap.get()) != static_cast<unsigned>(width) ||
      FreeImage_GetHeight(bitmap.get()) != static_cast<unsigned>(height))
    return bitmap;
  const uint32_t opacity = ClampOpacity(s.solidOpacity);
  if (opacity == 0 || tile <= 0) return bitmap;

  // Every band lies within the margins, so the rest of the image, which an
  // image-size canvas would leave transparent, is never touched. The margins
  // are cut into corners and edges: only the corners hold diagonals, which a
  // canvas edge must not cut, while the edges may be tiled freely.
  const int64_t W = width, H = height;
  const int64_t T = std::clamp<int64_t>(s.solidTop, 0, H);
  const int64_t B = std::clamp<int64_t>(s.solidBottom, 0, H - T);
  const int64_t L = std::clamp<int64_t>(s.solidLeft, 0, W);
  const int64_t R = std::clamp<int64_t>(s.solidRight, 0, W - L);
  const int64_t midW = W - L - R, midH = H - T - B;
  const Region regions[] = {
      {0, 0, L, T, true},     {W - R, 0, R, T, true},    {0, H - B, L, B, true}, {W - R, H - B, R, B, true},
      {L, 0, midW, T, false}, {L, H - B, midW, B, false}, {0, T, L, midH, false}, {W - R, T, R, midH, false}};

  for (const Region& r : regions) {
    const int64_t step = r.corner ? kCornerTile : std::min<int64_t>(tile, kCornerTile);
    for (int64_t ty = r.y; ty < r.y + r.h; ty += step) {
      for (int64_t tx = r.x; tx < r.x + r.w; tx += step) {
        const int64_t tw = std::min<int64_t>(step, r.x + r.w - tx);
        const int64_t th = std::min<int64_t>(step, r.y + r.h - ty);
        Canvas canvas = CreateCanvas(tw + 2 * kApron, th + 2 * kApron);
        if (!canvas) continue;
        CairoContext cr(cairo_create(canvas.get()));
        if (cairo_status(cr.get()) != CAIRO_STATUS_SUCCESS) continue;
        cairo_translate(cr.get(), static_cast<double>(kApron - tx), static_cast<double>(kApron - ty));
        PaintFrameBands(cr.get(), width, height, s);
        cr.reset();
        CompositeTile(bitmap.get(), canvas.get(), static_cast<int>(tx), static_cast<int>(ty), static_cast<int>(tw),
                      static_cast<int>(th), opacity);
      }
    }
  }
  return bitmap;
}

Bitmap ApplyFrame(Bitmap bitmap, int width, int height, const ConversionSettings& s) {
  return ApplyFrameTiled(std::move(bitmap), width, height, s, 2048);
}
