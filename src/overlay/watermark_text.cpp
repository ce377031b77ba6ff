// Text watermark: the font, the block layout and its rendering with pango.
#include <glib-object.h>
#include <pango/pangocairo.h>

#include <cmath>
#include <cstdlib>

#include "engine/naming.h"
#include "overlay/overlay.h"
#include "overlay/pixels.h"
#include "settings/color.h"

namespace {

struct GObjectUnref {
  void operator()(gpointer p) const { g_object_unref(p); }
};
template <typename T>
using GObj = std::unique_ptr<T, GObjectUnref>;

struct FontDescriptionFree {
  void operator()(PangoFontDescription* d) const { pango_font_description_free(d); }
};

// Windows-style character heights: points at 96 dots per inch, rounded.
constexpr int kDpi = 96;
// A size of 0 asks for the default height, as a zero font height does elsewhere.
constexpr int kDefaultPixelSize = 16;
// Beyond any canvas the block could be drawn on, and within pango's units.
constexpr int64_t kMaxPixelSize = 32767;

int PixelSize(int32_t points) {
  const int64_t p = std::llabs(static_cast<int64_t>(points));
  const int64_t px = (p * kDpi + 36) / 72;
  if (px == 0) return kDefaultPixelSize;
  return static_cast<int>(std::min(px, kMaxPixelSize));
}

std::string ValidUtf8(const std::string& text) {
  gchar* valid = g_utf8_make_valid(text.data(), static_cast<gssize>(text.size()));
  std::string out(valid);
  g_free(valid);
  return out;
}

bool EqualsEolAt(const std::string& s, size_t i) {
  static const char kEol[] = "%eol%";
  if (i + 5 > s.size()) return false;
  for (size_t k = 0; k < 5; ++k)
    if (g_ascii_tolower(s[i + k]) != kEol[k]) return false;
  return true;
}

// The pieces between the line tokens, empty ones included.
std::vector<std::string> SplitLines(const std::string& s) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t i = 0; i < s.size();) {
    if (EqualsEolAt(s, i)) {
      lines.push_back(s.substr(start, i - start));
      i += 5;
      start = i;
    } else {
      ++i;
    }
  }
  lines.push_back(s.substr(start));
  return lines;
}

}  // namespace

#if defined(__SANITIZE_ADDRESS__)
// fontconfig loses a few blocks while it parses its configuration, once per
// process. Its library is built without frame pointers, so the leak checker
// sees no deeper than the library itself; sanitizer builds look past leaks
// allocated there so that any other leak still stands out. Defined here
// because this file is what brings fontconfig into a program.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
#endif

struct WatermarkFont {
  GObj<PangoFontMap> fontMap;
  std::unique_ptr<PangoFontDescription, FontDescriptionFree> description;
  bool underline = false;
  bool strikeout = false;
};

void WatermarkFontDeleter::operator()(WatermarkFont* font) const { delete font; }

namespace {

// Raster text is measured and drawn with whole-pixel advances and no
// antialiasing; vector text keeps fractional advances and smooth edges.
GObj<PangoContext> MakeContext(const WatermarkFont& font, bool antialiased) {
  GObj<PangoContext> ctx(pango_font_map_create_context(font.fontMap.get()));
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_antialias(options, antialiased ? CAIRO_ANTIALIAS_GRAY : CAIRO_ANTIALIAS_NONE);
  cairo_font_options_set_hint_metrics(options, antialiased ? CAIRO_HINT_METRICS_OFF : CAIRO_HINT_METRICS_ON);
  pango_cairo_context_set_font_options(ctx.get(), options);
  cairo_font_options_destroy(options);
  pango_cairo_context_set_resolution(ctx.get(), kDpi);
  pango_context_set_round_glyph_positions(ctx.get(), antialiased ? FALSE : TRUE);
  return ctx;
}

GObj<PangoLayout> MakeLine(PangoContext* ctx, const WatermarkFont& font, const std::string& text) {
  GObj<PangoLayout> layout(pango_layout_new(ctx));
  pango_layout_set_font_description(layout.get(), font.description.get());
  // One line per piece: a line break inside a piece is shown, not obeyed.
  pango_layout_set_single_paragraph_mode(layout.get(), TRUE);
  if (font.underline || font.strikeout) {
    PangoAttrList* attrs = pango_attr_list_new();
    if (font.underline) pango_attr_list_insert(attrs, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
    if (font.strikeout) pango_attr_list_insert(attrs, pango_attr_strikethrough_new(TRUE));
    pango_layout_set_attributes(layout.get(), attrs);
    pango_attr_list_unref(attrs);
  }
  const std::string valid = ValidUtf8(text);
  pango_layout_set_text(layout.get(), valid.c_str(), static_cast<int>(valid.size()));
  return layout;
}

TextExtent Measure(PangoLayout* layout) {
  PangoRectangle logical{};
  pango_layout_get_pixel_extents(layout, nullptr, &logical);
  return {logical.width, logical.height};
}

double VectorWidth(PangoLayout* layout) {
  PangoRectangle logical{};
  pango_layout_get_extents(layout, nullptr, &logical);
  return static_cast<double>(logical.width) / PANGO_SCALE;
}

void SetSource(cairo_t* cr, uint32_t colour, double alpha) {
  cairo_set_source_rgba(cr, (colour & 0xff) / 255.0, (colour >> 8 & 0xff) / 255.0, (colour >> 16 & 0xff) / 255.0,
                        alpha);
}

void DrawLines(cairo_t* cr, PangoContext* ctx, const WatermarkFont& font, const TextBlock& block) {
  for (const TextLine& line : block.lines) {
    GObj<PangoLayout> layout = MakeLine(ctx, font, line.text);
    cairo_move_to(cr, static_cast<double>(line.x), static_cast<double>(line.y));
    pango_cairo_show_layout(cr, layout.get());
  }
}

}  // namespace

WatermarkFontPtr LoadWatermarkFont(const ConversionSettings& s) {
  WatermarkFontPtr font(new WatermarkFont);
  // A map of our own: pangocairo's default map belongs to the thread that asks
  // for it, and this font is made on the main thread but drawn with by the worker.
  font->fontMap.reset(pango_cairo_font_map_new());
  if (!font->fontMap) return nullptr;
  font->description.reset(pango_font_description_new());
  const std::string family = s.font.empty() ? std::string("sans-serif") : ValidUtf8(s.font);
  pango_font_description_set_family(font->description.get(), family.c_str());
  pango_font_description_set_weight(font->description.get(),
                                    s.fontStyle == 1 || s.fontStyle == 3 ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
  pango_font_description_set_style(font->description.get(),
                                   s.fontStyle == 2 || s.fontStyle == 3 ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
  pango_font_description_set_absolute_size(font->description.get(), PixelSize(s.fontSize) * double(PANGO_SCALE));
  font->underline = s.fontEffect == 1;
  font->strikeout = s.fontEffect == 2;

  // fontconfig substitutes a face for any name it knows no font for; only a
  // system without any usable font fails here.
  GObj<PangoContext> ctx = MakeContext(*font, false);
  PangoFont* loaded = pango_font_map_load_font(font->fontMap.get(), ctx.get(), font->description.get());
  if (!loaded) return nullptr;
  g_object_unref(loaded);
  return font;
}

std::string DescribeWatermarkFont(const WatermarkFont& font) {
  GObj<PangoContext> ctx = MakeContext(font, false);
  PangoFont* loaded = pango_font_map_load_font(font.fontMap.get(), ctx.get(), font.description.get());
  if (!loaded) return {};
  PangoFontDescription* d = pango_font_describe_with_absolute_size(loaded);
  char* text = pango_font_description_to_string(d);
  std::string out(text);
  g_free(text);
  pango_font_description_free(d);
  g_object_unref(loaded);
  return out;
}

TextExtent MeasureTextLine(const WatermarkFont& font, const std::string& line) {
  GObj<PangoContext> ctx = MakeContext(font, false);
  GObj<PangoLayout> layout = MakeLine(ctx.get(), font, line);
  return Measure(layout.get());
}

TextBlock LayOutTextBlock(const WatermarkFont& font, const std::string& text, const ConversionSettings& s) {
  const bool antialiased = s.textAntialiasing != 0;
  GObj<PangoContext> raster = MakeContext(font, false);
  GObj<PangoContext> vector = antialiased ? MakeContext(font, true) : nullptr;
  const int64_t P = s.textPadding;

  TextBlock block;
  std::vector<std::string> pieces = SplitLines(text);
  if (pieces.size() == 1) {
    // A single line sets the block size by itself and ignores the alignment.
    GObj<PangoLayout> layout = MakeLine(raster.get(), font, text);
    const TextExtent e = Measure(layout.get());
    block.width = e.width + 2 * P;
    block.height = e.height + 2 * P;
    block.lines.push_back({text, P, P});
    return block;
  }

  const int64_t n = static_cast<int64_t>(pieces.size()) - 1;
  int64_t tw = 10, mh = 10;
  std::vector<int64_t> widths;
  for (const std::string& piece : pieces) {
    GObj<PangoLayout> layout = MakeLine(raster.get(), font, piece);
    const TextExtent e = Measure(layout.get());
    tw = std::max<int64_t>(tw, e.width);
    mh = std::max<int64_t>(mh, e.height);
    if (antialiased) {
      GObj<PangoLayout> smooth = MakeLine(vector.get(), font, piece);
      widths.push_back(std::llround(VectorWidth(smooth.get())));
    } else {
      widths.push_back(e.width);
    }
  }
  const int64_t step = mh + s.fontLeading;
  block.width = tw + 2 * P;
  block.height = mh + n * step + 2 * P;
  for (size_t i = 0; i < pieces.size(); ++i) {
    const int64_t w = widths[i];
    int64_t x = 0;
    switch (s.textAlignment) {
      case 0: x = P; break;
      case 1: {
        // Halves round away from zero.
        const int64_t d = block.width - w;
        x = d >= 0 ? (d + 1) / 2 : -((1 - d) / 2);
        break;
      }
      case 2: x = block.width - w - P; break;
      default: x = 0; break;
    }
    block.lines.push_back({pieces[i], x, P + static_cast<int64_t>(i) * step});
  }
  return block;
}

Bitmap RenderTextOverlay(const ConversionSettings& s, const ConversionRun& run) {
  if (!run.watermarkFont) return nullptr;
  const WatermarkFont& font = *run.watermarkFont;
  const TextBlock block = LayOutTextBlock(font, ExpandWatermarkText(run, s), s);
  Canvas text = CreateCanvas(block.width, block.height);
  if (!text) return nullptr;
  const uint32_t fontColour = ParseHexColor(s.fontColor, 255);
  const uint32_t backColour = ParseHexColor(s.backColor, 255);
  const double textAlpha = ClampOpacity(s.textOpacity) / 255.0;
  const double backAlpha = ClampOpacity(s.backOpacity) / 255.0;

  if (s.textAntialiasing == 0) {
    // Every drawn pixel replaces all four channels: glyphs carry exactly the
    // text opacity, the rest exactly the background opacity.
    CairoContext cr(cairo_create(text.get()));
    cairo_set_operator(cr.get(), CAIRO_OPERATOR_SOURCE);
    cairo_set_antialias(cr.get(), CAIRO_ANTIALIAS_NONE);
    SetSource(cr.get(), backColour, backAlpha);
    cairo_paint(cr.get());
    SetSource(cr.get(), fontColour, textAlpha);
    GObj<PangoContext> ctx = MakeContext(font, false);
    DrawLines(cr.get(), ctx.get(), font, block);
    return CanvasToBitmap(text.get());
  }

  {
    CairoContext cr(cairo_create(text.get()));
    SetSource(cr.get(), fontColour, 1.0);
    GObj<PangoContext> ctx = MakeContext(font, true);
    DrawLines(cr.get(), ctx.get(), font, block);
  }
  // Text blended over the background, each at its own opacity.
  Canvas overlay = CreateCanvas(block.width, block.height);
  if (!overlay) return nullptr;
  CairoContext cr(cairo_create(overlay.get()));
  SetSource(cr.get(), backColour, 1.0);
  cairo_paint_with_alpha(cr.get(), backAlpha);
  cairo_set_source_surface(cr.get(), text.get(), 0, 0);
  cairo_paint_with_alpha(cr.get(), textAlpha);
  cr.reset();
  return CanvasToBitmap(overlay.get());
}
