// Text and image watermarks. Until they are built they hand the bitmap on.
#include <string>

#include "engine/stages.h"
#include "overlay/watermark_font.h"

struct WatermarkFont {
  std::string family;
};

void WatermarkFontDeleter::operator()(WatermarkFont* font) const { delete font; }

WatermarkFontPtr LoadWatermarkFont(const ConversionSettings& s) {
  return WatermarkFontPtr(new WatermarkFont{s.font});
}

Bitmap ApplyWatermark(Bitmap bitmap, int, int, const ConversionSettings&, const ConversionRun&) {
  return bitmap;
}
