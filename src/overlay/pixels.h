// Per-pixel arithmetic shared by the overlays, kept equal to what cairo's PNG
// writer and FreeImage's paste and composite do, so that working in place on
// the covered pixels gives the same image as the full-size route.
#pragma once

#include <FreeImage.h>

#include <cstdint>

struct StraightPixel {
  uint8_t r, g, b, a;
};

// A premultiplied cairo ARGB32 pixel with its colour divided out, rounded the
// way cairo's PNG writer rounds; a fully transparent pixel becomes all zero.
inline StraightPixel Unpremultiply(uint32_t argb) {
  const uint32_t a = argb >> 24;
  if (a == 0) return {0, 0, 0, 0};
  auto div = [a](uint32_t c) { return static_cast<uint8_t>((c * 255 + a / 2) / a); };
  return {div((argb >> 16) & 0xff), div((argb >> 8) & 0xff), div(argb & 0xff), static_cast<uint8_t>(a)};
}

// One channel of FreeImage_Composite: foreground over background at alpha a.
inline uint8_t CompositeChannel(uint32_t fg, uint32_t bg, uint32_t a) {
  if (a == 0) return static_cast<uint8_t>(bg);
  if (a == 255) return static_cast<uint8_t>(fg);
  return static_cast<uint8_t>((a * fg + (255 - a) * bg) >> 8);
}

// Writes a straight-alpha pixel over a 24-bit FreeImage pixel.
inline void CompositeOver(BYTE* dst, uint32_t r, uint32_t g, uint32_t b, uint32_t a) {
  dst[FI_RGBA_RED] = CompositeChannel(r, dst[FI_RGBA_RED], a);
  dst[FI_RGBA_GREEN] = CompositeChannel(g, dst[FI_RGBA_GREEN], a);
  dst[FI_RGBA_BLUE] = CompositeChannel(b, dst[FI_RGBA_BLUE], a);
}

// Opacity settings are not range-checked anywhere; the drawing treats them as
// the byte-sized constant alpha they stand for.
inline uint32_t ClampOpacity(int64_t v) { return v < 0 ? 0 : v > 255 ? 255 : static_cast<uint32_t>(v); }
