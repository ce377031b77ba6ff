// Overlays drawn over the converted image: the solid frame, the text block and
// the picture watermark, and the placement they share.
//
// Canvases are cairo ARGB32 image surfaces (premultiplied). A finished canvas
// reaches FreeImage as a 32-bit bitmap with straight alpha, pixel for pixel what
// encoding the canvas as PNG and decoding it again would give.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/bitmap.h"
#include "engine/run.h"
#include "overlay/watermark_font.h"
#include "settings/settings.h"

struct CanvasDeleter {
  void operator()(cairo_surface_t* c) const { cairo_surface_destroy(c); }
};
using Canvas = std::unique_ptr<cairo_surface_t, CanvasDeleter>;

struct CairoDeleter {
  void operator()(cairo_t* cr) const { cairo_destroy(cr); }
};
using CairoContext = std::unique_ptr<cairo_t, CairoDeleter>;

// A transparent canvas (all channels 0); null when cairo cannot make one of
// that size (cairo's limit is 32767 pixels a side).
Canvas CreateCanvas(int64_t width, int64_t height);

// The canvas as a 32-bit FreeImage bitmap with straight alpha; null when the
// canvas is empty or the bitmap cannot be allocated.
Bitmap CanvasToBitmap(cairo_surface_t* canvas);

// ---- Solid frame ----------------------------------------------------------

// The frame drawn on tiles of at most tile × tile pixels that cover only the
// margins. ApplyFrame uses this with a fixed tile size. For bands that fit the
// image, and corners no larger than a tile, the pixels are those of one
// image-size canvas.
Bitmap ApplyFrameTiled(Bitmap bitmap, int width, int height, const ConversionSettings& s, int tile);

// Paints the four corner rectangles and the four mitred bands opaque onto the
// context, in image coordinates (the caller may translate the context).
void PaintFrameBands(cairo_t* cr, int width, int height, const ConversionSettings& s);

// ---- Placement ------------------------------------------------------------

struct Placement {
  int boundary = 0;  // 0 the image, 1 the area inside the solid frame
  int position = 8;  // 0..8, row by row from top-left
  int xOffset = 0;
  int yOffset = 0;
  int angle = 0;  // degrees; only 0 < angle < 360 rotates
};
Placement TextPlacement(const ConversionSettings& s);
Placement ImagePlacement(const ConversionSettings& s);

// Where a w × h overlay goes inside a width × height image, after cropping;
// ok is false when nothing of it would be pasted.
struct OverlaySpot {
  bool ok = false;
  int x = 0, y = 0;  // top-left corner in the image
  int w = 0, h = 0;  // the part of the overlay that is kept (its top-left part)
};
OverlaySpot LocateOverlay(int overlayWidth, int overlayHeight, int width, int height, const Placement& p,
                          const ConversionSettings& s);

// Rotates, crops and positions the 32-bit overlay and composites it over the
// 24-bit image. The overlay is pasted onto a transparent canvas with a blend
// factor of 255 before compositing, so every channel is scaled by 255/256.
// Returns the image, unmarked when the overlay does not fit.
Bitmap PlaceOverlay(Bitmap image, Bitmap overlay, int width, int height, const Placement& p,
                    const ConversionSettings& s);

// The composite of the overlay pasted at (x, y) over the 24-bit image, done in
// place on the covered pixels only. The overlay must lie inside the image.
void CompositeOverlay(FIBITMAP* image, FIBITMAP* overlay, int x, int y);

// ---- Text watermark -------------------------------------------------------

// The face that fontconfig chose for the font and its size, as pango writes
// it: "Liberation Sans Bold 19px".
std::string DescribeWatermarkFont(const WatermarkFont& font);

struct TextExtent {
  int width = 0;
  int height = 0;
};
// Width and height of one line in the watermark font, in whole pixels, as the
// non-antialiased text measures it (advance width, font line height).
TextExtent MeasureTextLine(const WatermarkFont& font, const std::string& line);

struct TextLine {
  std::string text;
  int64_t x = 0, y = 0;  // top-left corner of the line in the block
};
struct TextBlock {
  int64_t width = 0, height = 0;  // padding included
  std::vector<TextLine> lines;
};
// Splits the text at %eol% (any letter case), measures it and places each line
// by the alignment; antialiased text aligns by its unrounded widths.
TextBlock LayOutTextBlock(const WatermarkFont& font, const std::string& text, const ConversionSettings& s);

// The text block of the current file as a 32-bit overlay; null without a font
// or when the block cannot be made.
Bitmap RenderTextOverlay(const ConversionSettings& s, const ConversionRun& run);

// ---- Image watermark ------------------------------------------------------

// The picture named by the Image setting (PNG, JPEG or BMP) at its own size,
// with the opacity and grey filter applied; null when it cannot be decoded.
Bitmap RenderImageOverlay(const ConversionSettings& s);
