// Helpers for the TGA tests: hand-built files, and pixels read back from
// FreeImage bitmaps in image orientation.
#pragma once

#include <FreeImage.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include "engine/bitmap.h"
#include "support/support.h"

namespace tgatest {

using Bytes = std::vector<uint8_t>;

// The 18 header bytes, packed here by hand so that the tests do not lean on the
// engine's own header writer.
struct Header {
  uint8_t idLength = 0, colorMapType = 0, imageType = 0;
  uint16_t mapFirst = 0, mapLength = 0;
  uint8_t mapEntryBits = 0;
  uint16_t width = 0, height = 0;
  uint8_t depth = 0, descriptor = 0;
};

inline Bytes Le16(unsigned v) { return {uint8_t(v), uint8_t(v >> 8)}; }
inline Bytes Le32(uint32_t v) { return {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)}; }

inline Bytes Cat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

inline Bytes Pack(const Header& h) {
  return Cat({{h.idLength, h.colorMapType, h.imageType}, Le16(h.mapFirst), Le16(h.mapLength),
              {h.mapEntryBits}, Le16(0), Le16(0), Le16(h.width), Le16(h.height),
              {h.depth, h.descriptor}});
}

inline Bytes Repeat(const Bytes& b, size_t times) {
  Bytes out;
  for (size_t i = 0; i < times; ++i) out.insert(out.end(), b.begin(), b.end());
  return out;
}

inline Bytes Footer(uint32_t extension, uint32_t developer) {
  const char sig[] = "TRUEVISION-XFILE.";  // with its terminating zero: 18 bytes
  return Cat({Le32(extension), Le32(developer), Bytes(sig, sig + sizeof sig)});
}

// An extension area of 495 bytes with the given postage-stamp offset.
inline Bytes ExtensionArea(uint32_t stampOffset) {
  Bytes ext(495, 0);
  ext[0] = 495 & 0xff;
  ext[1] = 495 >> 8;
  const Bytes stamp = Le32(stampOffset);
  std::copy(stamp.begin(), stamp.end(), ext.begin() + 486);
  return ext;
}

// Writes `bytes` as a file in `dir` and returns its path.
inline std::string WriteBytes(const testing_support::TempDir& dir, const Bytes& bytes) {
  const std::string path = dir / "input.tga";
  testing_support::WriteFile(path, std::string(bytes.begin(), bytes.end()));
  return path;
}

struct Rgba {
  int r = 0, g = 0, b = 0, a = 255;
  bool operator==(const Rgba& o) const { return r == o.r && g == o.g && b == o.b && a == o.a; }
};

inline std::ostream& operator<<(std::ostream& os, const Rgba& c) {
  return os << "(" << c.r << "," << c.g << "," << c.b << "," << c.a << ")";
}

// The nearest 8-bit value of a 5-bit channel: how reference decoders widen 5 bits.
inline int Widen5(unsigned v) { return int((v * 255 + 15) / 31); }

// The pixel at column x of row y, counting rows from the top of the picture.
// 16-bit bitmaps are read as 5-5-5 and widened exactly; palettes give their
// colour and their transparency entry.
inline Rgba PixelAt(FIBITMAP* bitmap, unsigned x, unsigned y) {
  const BYTE* line = FreeImage_GetScanLine(bitmap, FreeImage_GetHeight(bitmap) - 1 - y);
  Rgba c;
  switch (FreeImage_GetBPP(bitmap)) {
    case 8: {
      const BYTE index = line[x];
      const RGBQUAD& q = FreeImage_GetPalette(bitmap)[index];
      c = {q.rgbRed, q.rgbGreen, q.rgbBlue, 255};
      if (FreeImage_IsTransparent(bitmap) && index < FreeImage_GetTransparencyCount(bitmap))
        c.a = FreeImage_GetTransparencyTable(bitmap)[index];
      break;
    }
    case 16: {
      const unsigned v = line[2 * x] | line[2 * x + 1] << 8;
      c = {Widen5(v >> 10 & 31), Widen5(v >> 5 & 31), Widen5(v & 31), 255};
      break;
    }
    case 24:
      c = {line[3 * x + FI_RGBA_RED], line[3 * x + FI_RGBA_GREEN], line[3 * x + FI_RGBA_BLUE], 255};
      break;
    case 32:
      c = {line[4 * x + FI_RGBA_RED], line[4 * x + FI_RGBA_GREEN], line[4 * x + FI_RGBA_BLUE],
           line[4 * x + FI_RGBA_ALPHA]};
      break;
  }
  return c;
}

// All pixels, rows from the top.
inline std::vector<Rgba> Pixels(FIBITMAP* bitmap) {
  std::vector<Rgba> out;
  for (unsigned y = 0; y < FreeImage_GetHeight(bitmap); ++y)
    for (unsigned x = 0; x < FreeImage_GetWidth(bitmap); ++x) out.push_back(PixelAt(bitmap, x, y));
  return out;
}

// True when two bitmaps hold the same pixels, palette and transparency, byte for byte.
inline bool SameBitmap(FIBITMAP* a, FIBITMAP* b) {
  if (!a || !b) return false;
  if (FreeImage_GetWidth(a) != FreeImage_GetWidth(b) || FreeImage_GetHeight(a) != FreeImage_GetHeight(b) ||
      FreeImage_GetBPP(a) != FreeImage_GetBPP(b) || FreeImage_GetPitch(a) != FreeImage_GetPitch(b) ||
      FreeImage_GetColorsUsed(a) != FreeImage_GetColorsUsed(b) ||
      FreeImage_GetTransparencyCount(a) != FreeImage_GetTransparencyCount(b))
    return false;
  const unsigned rowBytes = (FreeImage_GetWidth(a) * FreeImage_GetBPP(a) + 7) / 8;
  for (unsigned y = 0; y < FreeImage_GetHeight(a); ++y)
    if (memcmp(FreeImage_GetScanLine(a, y), FreeImage_GetScanLine(b, y), rowBytes) != 0) return false;
  const unsigned colours = FreeImage_GetColorsUsed(a);
  if (colours && memcmp(FreeImage_GetPalette(a), FreeImage_GetPalette(b), colours * sizeof(RGBQUAD)) != 0)
    return false;
  const unsigned trns = FreeImage_GetTransparencyCount(a);
  return !trns || memcmp(FreeImage_GetTransparencyTable(a), FreeImage_GetTransparencyTable(b), trns) == 0;
}

inline std::string SharedTga(const std::string& relative) {
  return std::string(VELMORA_SHARED_TESTDATA) + "/tga/" + relative;
}

}  // namespace tgatest
