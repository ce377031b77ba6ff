// The watermark font: created on the main thread before the worker starts and
// released after it ends; the worker only reads it.
#pragma once

#include <memory>

#include "settings/settings.h"

struct WatermarkFont;
struct WatermarkFontDeleter {
  void operator()(WatermarkFont* font) const;
};
using WatermarkFontPtr = std::unique_ptr<WatermarkFont, WatermarkFontDeleter>;

// Null when no usable font can be had for the Font setting.
WatermarkFontPtr LoadWatermarkFont(const ConversionSettings& s);
