// Small generated bitmaps for the transform tests. Coordinates are as the
// image is seen: row 0 is the top row (FreeImage stores rows bottom-up).
#pragma once

#include <FreeImage.h>

#include <cstdint>
#include <functional>
#include <ostream>

#include "engine/bitmap.h"

namespace transform_test {

struct Rgb {
  uint8_t r = 0, g = 0, b = 0;
  bool operator==(const Rgb&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const Rgb& c) {
  return os << "rgb(" << int(c.r) << "," << int(c.g) << "," << int(c.b) << ")";
}

inline constexpr Rgb kWhite{255, 255, 255};
inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kRed{255, 0, 0};

using PixelFn = std::function<Rgb(unsigned x, unsigned row)>;

// A width x height bitmap of the given depth: 1 and 8 bits hold a grey ramp
// palette (the pixel's red channel picks the grey level), 16 bits are 5-5-5,
// 32 bits are opaque, 48 bits are 16-bit RGB channels.
inline Bitmap MakeImage(unsigned width, unsigned height, unsigned bpp, const PixelFn& pixel) {
  Bitmap b;
  if (bpp == 48) {
    b.reset(FreeImage_AllocateT(FIT_RGB16, width, height));
  } else if (bpp == 16) {
    b.reset(FreeImage_Allocate(width, height, 16, FI16_555_RED_MASK, FI16_555_GREEN_MASK,
                               FI16_555_BLUE_MASK));
  } else {
    b.reset(FreeImage_Allocate(width, height, bpp));
  }
  if (!b) return b;
  if (bpp <= 8) {
    RGBQUAD* pal = FreeImage_GetPalette(b.get());
    const unsigned n = 1u << bpp;
    for (unsigned i = 0; i < n; ++i) {
      const auto v = static_cast<BYTE>(i * 255 / (n - 1));
      pal[i].rgbRed = pal[i].rgbGreen = pal[i].rgbBlue = v;
    }
  }
  for (unsigned row = 0; row < height; ++row) {
    const unsigned y = height - 1 - row;
    BYTE* line = FreeImage_GetScanLine(b.get(), y);
    for (unsigned x = 0; x < width; ++x) {
      const Rgb c = pixel(x, row);
      switch (bpp) {
        case 1:
          if (c.r >= 128) line[x / 8] |= static_cast<BYTE>(0x80 >> (x % 8));
          break;
        case 8:
          line[x] = c.r;
          break;
        case 16: {
          const auto v = static_cast<uint16_t>((c.r >> 3) << FI16_555_RED_SHIFT |
                                               (c.g >> 3) << FI16_555_GREEN_SHIFT |
                                               (c.b >> 3) << FI16_555_BLUE_SHIFT);
          reinterpret_cast<uint16_t*>(line)[x] = v;
          break;
        }
        case 48: {
          FIRGB16& p = reinterpret_cast<FIRGB16*>(line)[x];
          p.red = static_cast<WORD>(c.r * 257);
          p.green = static_cast<WORD>(c.g * 257);
          p.blue = static_cast<WORD>(c.b * 257);
          break;
        }
        default: {
          RGBQUAD q{};
          q.rgbRed = c.r;
          q.rgbGreen = c.g;
          q.rgbBlue = c.b;
          q.rgbReserved = 255;
          FreeImage_SetPixelColor(b.get(), x, y, &q);
        }
      }
    }
  }
  return b;
}

inline Bitmap Uniform(unsigned width, unsigned height, unsigned bpp, Rgb c) {
  return MakeImage(width, height, bpp, [c](unsigned, unsigned) { return c; });
}

// Colours that differ from pixel to pixel, so that any moved pixel shows.
inline Rgb Pattern(unsigned x, unsigned row) {
  return {static_cast<uint8_t>(x * 37 + row * 11), static_cast<uint8_t>(row * 53 + 7),
          static_cast<uint8_t>(x * 5 + row * 90)};
}

// The colour of a pixel of a 1-, 8-, 16-, 24- or 32-bit image.
inline Rgb At(FIBITMAP* b, unsigned x, unsigned row) {
  const unsigned y = FreeImage_GetHeight(b) - 1 - row;
  RGBQUAD q{};
  if (FreeImage_GetBPP(b) <= 8) {
    BYTE index = 0;
    FreeImage_GetPixelIndex(b, x, y, &index);
    q = FreeImage_GetPalette(b)[index];
  } else {
    FreeImage_GetPixelColor(b, x, y, &q);
  }
  return {q.rgbRed, q.rgbGreen, q.rgbBlue};
}

inline uint8_t AlphaAt(FIBITMAP* b, unsigned x, unsigned row) {
  RGBQUAD q{};
  FreeImage_GetPixelColor(b, x, FreeImage_GetHeight(b) - 1 - row, &q);
  return q.rgbReserved;
}

inline Bitmap Clone(FIBITMAP* b) { return Bitmap(FreeImage_Clone(b)); }

// True when both images have the same size and depth and every pixel matches.
inline bool SamePixels(FIBITMAP* a, FIBITMAP* b) {
  if (FreeImage_GetWidth(a) != FreeImage_GetWidth(b) ||
      FreeImage_GetHeight(a) != FreeImage_GetHeight(b) || FreeImage_GetBPP(a) != FreeImage_GetBPP(b))
    return false;
  for (unsigned row = 0; row < FreeImage_GetHeight(a); ++row)
    for (unsigned x = 0; x < FreeImage_GetWidth(a); ++x)
      if (!(At(a, x, row) == At(b, x, row))) return false;
  return true;
}

}  // namespace transform_test
