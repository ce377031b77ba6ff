// Target-size arithmetic of the resize stage and its filter choice. The stages
// themselves are declared in engine/stages.h.
#pragma once

#include <FreeImage.h>

#include <cstdint>

#include "settings/settings.h"

// Pixels for one side of a resize target.
//   value: the Image Width or Image Height setting;
//   unit:  0 pixels (value as it is), 1 percent of size (value / 100 * size in
//          double precision, halves rounded to the even neighbour); any other
//          unit gives 0, which leaves the image alone;
//   size:  the image's current width or height.
// Results beyond the 32-bit range saturate.
int32_t ScaledDimension(int32_t value, int unit, unsigned size);

// The FreeImage resampling filter for Image Resize Algorithm: 0 box,
// 1 bilinear, 2 B-spline, 3 bicubic, 4 Catmull-Rom, 5 Lanczos-3; any other
// value bicubic.
FREE_IMAGE_FILTER ResizeFilter(const ConversionSettings& s);

// floor(x + 0.5) for x > 0, ceil(x - 0.5) otherwise; NaN gives 0 and results
// beyond the 32-bit range saturate.
int32_t RoundHalfAway(double x);

// What the resize stage does with an image of width x height.
struct ResizeTarget {
  bool resize = false;  // false: the image is handed on untouched
  int32_t width = 0;    // new size when resize is true; a side may be 0, which
  int32_t height = 0;   // the library refuses (the file then fails)
};

// The resize decision and the new size for the current settings: both targets
// must be positive and differ from the current size; "large images only" spares
// an image smaller than the target in both sides; with the aspect ratio kept,
// only the target of the longer side counts and the other side follows from a
// single-precision ratio, rounded half away from zero.
ResizeTarget ComputeResizeTarget(unsigned width, unsigned height, const ConversionSettings& s);
