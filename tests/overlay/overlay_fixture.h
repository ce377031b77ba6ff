// Small generated images and pixel probes for the overlay tests.
#pragma once

#include <FreeImage.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>

#include "engine/bitmap.h"
#include "settings/settings.h"
#include "support/support.h"

namespace overlay_test {

inline ConversionSettings Defaults() {
  ConversionSettings s;
  ResetSettings(s, true);
  return s;
}

struct Rgba {
  int r = 0, g = 0, b = 0, a = 255;
  bool operator==(const Rgba&) const = default;
};
inline std::ostream& operator<<(std::ostream& os, const Rgba& p) {
  return os << "(" << p.r << "," << p.g << "," << p.b << "," << p.a << ")";
}

// A pixel by top-down coordinates; alpha is 255 for bitmaps without it.
inline Rgba At(FIBITMAP* b, int x, int y) {
  const unsigned bpp = FreeImage_GetBPP(b);
  const BYTE* p = FreeImage_GetScanLine(b, FreeImage_GetHeight(b) - 1 - y) + x * (bpp / 8);
  return {p[FI_RGBA_RED], p[FI_RGBA_GREEN], p[FI_RGBA_BLUE], bpp == 32 ? p[FI_RGBA_ALPHA] : 255};
}

inline void Put(FIBITMAP* b, int x, int y, Rgba c) {
  const unsigned bpp = FreeImage_GetBPP(b);
  BYTE* p = FreeImage_GetScanLine(b, FreeImage_GetHeight(b) - 1 - y) + x * (bpp / 8);
  p[FI_RGBA_RED] = static_cast<BYTE>(c.r);
  p[FI_RGBA_GREEN] = static_cast<BYTE>(c.g);
  p[FI_RGBA_BLUE] = static_cast<BYTE>(c.b);
  if (bpp == 32) p[FI_RGBA_ALPHA] = static_cast<BYTE>(c.a);
}

inline Bitmap Solid(int w, int h, Rgba c, int bpp = 24) {
  Bitmap b(FreeImage_Allocate(w, h, bpp, FI_RGBA_RED_MASK, FI_RGBA_GREEN_MASK, FI_RGBA_BLUE_MASK));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) Put(b.get(), x, y, c);
  return b;
}

inline Bitmap Noise(int w, int h, unsigned seed, int bpp = 24) {
  std::mt19937 rng(seed);
  Bitmap b(FreeImage_Allocate(w, h, bpp, FI_RGBA_RED_MASK, FI_RGBA_GREEN_MASK, FI_RGBA_BLUE_MASK));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      Put(b.get(), x, y, {int(rng() & 255), int(rng() & 255), int(rng() & 255), int(rng() & 255)});
  return b;
}

inline Bitmap Clone(FIBITMAP* b) { return Bitmap(FreeImage_Clone(b)); }

// Number of pixels that differ between two images of the same size.
inline int CountDifferences(FIBITMAP* a, FIBITMAP* b) {
  int n = 0;
  for (int y = 0; y < int(FreeImage_GetHeight(a)); ++y)
    for (int x = 0; x < int(FreeImage_GetWidth(a)); ++x) n += !(At(a, x, y) == At(b, x, y));
  return n;
}

using testing_support::TempDir;

}  // namespace overlay_test
