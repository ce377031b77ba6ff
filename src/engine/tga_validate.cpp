#include "engine/tga_validate.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr uint8_t kSignature[18] = {'T', 'R', 'U', 'E', 'V', 'I', 'S', 'I', 'O',
                                    'N', '-', 'X', 'F', 'I', 'L', 'E', '.', '\0'};
// Appended zero bytes hide a footer: the last 18 bytes the decoder sees are then
// zeros, and no signature reads like that.
constexpr uint64_t kHidingPadding = 18;
// FreeImage's RLE reader refills a cache of (end - data offset) / height bytes.
// Past this much per row the file holds far more than its pixels (pixel rows are at
// most 65535 x 4 bytes), so only the pixel data is shown and the cache stays small.
constexpr uint64_t kMaxRleCachePerRow = 1 << 20;
// FreeImage reads everything from a postage stamp to the footer: the stamp (at most
// 255 x 255 pixels of 4 bytes) and, in a well-formed file, a scan-line table.
constexpr uint64_t kMaxStampSpan = 2 + 255 * 255 * 4 + 4 * 65535;
constexpr uint64_t kColorCorrectionBytes = 256 * 4 * 2;
constexpr uint64_t kDeveloperTagBytes = 10;
// Extension-area fields FreeImage or this check read, by offset within the area.
constexpr uint64_t kExtColorCorrection = 482;
constexpr uint64_t kExtPostageStamp = 486;
constexpr uint64_t kExtScanLineTable = 490;

std::string Num(uint64_t n) { return std::to_string(n); }

uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

void PutU16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}

// Why the header alone rules the file out; empty when it does not.
std::string HeaderProblem(const TgaHeader& h) {
  switch (h.imageType) {
    case kTgaColorMapped:
    case kTgaTrueColor:
    case kTgaGrey:
    case kTgaRleColorMapped:
    case kTgaRleTrueColor:
    case kTgaRleGrey:
      break;
    case 0:
      return "image type 0 holds no image";
    default:
      return "unknown image type " + Num(h.imageType);
  }
  if (h.colorMapType > 1) return "unknown colour-map type " + Num(h.colorMapType);
  if (h.width == 0 || h.height == 0)
    return "image of " + Num(h.width) + " x " + Num(h.height) + " pixels is empty";
  const unsigned d = h.pixelDepth;
  const bool depthOk = IsColorMapped(h) ? d == 8
                       : IsGrey(h)      ? d == 8 || d == 16
                                        : d == 15 || d == 16 || d == 24 || d == 32;
  if (!depthOk)
    return "pixel depth " + Num(d) + " not supported for image type " + Num(h.imageType);
  if (IsColorMapped(h) && h.colorMapType != 1) return "colour-mapped image without a colour map";
  if (IsColorMapped(h) && h.mapLength == 0) return "colour-mapped image with an empty colour map";
  if (h.colorMapType == 1 && h.mapLength > 0) {
    const unsigned b = h.mapEntryBits;
    if (b != 15 && b != 16 && b != 24 && b != 32)
      return "colour-map entry size " + Num(b) + " not supported";
  }
  return {};
}

// Bytes of the bitmap FreeImage allocates: rows padded to 4 bytes. 15-bit pixels
// become 16-bit ones, and grey with alpha is decoded as 32-bit true colour.
uint64_t DecodedBytes(const TgaHeader& h) {
  uint64_t bpp = h.pixelDepth;
  if (bpp == 15) bpp = 16;
  if (IsGrey(h) && bpp == 16) bpp = 32;
  const uint64_t pitch = (h.width * bpp + 31) / 32 * 4;
  return pitch * h.height;
}

bool IndicesInside(const uint8_t* p, size_t n, unsigned low, unsigned high) {
  for (size_t i = 0; i < n; ++i)
    if (p[i] < low || p[i] >= high) return false;
  return true;
}

// Walks the pixel data from check.dataOffset and sets check.dataEnd; false with
// check.reason set when the data cannot hold the image.
bool ScanPixelData(ByteReader& reader, TgaCheck& check) {
  const TgaHeader& h = check.header;
  const uint64_t pixels = uint64_t{h.width} * h.height;
  const unsigned pb = PixelBytes(h);
  // An 8-bit index can only fall outside the map when the map does not start at
  // 0 or holds fewer than 256 entries.
  const bool checkIndices = IsColorMapped(h) && (h.mapFirst != 0 || h.mapLength < 256);
  const unsigned low = h.mapFirst;
  const unsigned high = std::min(256u, unsigned{h.mapFirst} + h.mapLength);
  const char* indexProblem = "colour-map index outside the colour map";
  SeekTo(reader, check.dataOffset);

  if (!IsRle(h)) {
    const uint64_t needed = pixels * pb;
    const uint64_t present = BytesLeft(reader);
    if (present < needed) {
      check.reason = "pixel data truncated: " + Num(present) + " of " + Num(needed) + " bytes present";
      return false;
    }
    if (checkIndices) {
      uint8_t chunk[4096];
      for (uint64_t left = needed; left > 0;) {
        const size_t n = static_cast<size_t>(std::min<uint64_t>(left, sizeof chunk));
        if (ReadBytes(reader, chunk, n) != n) {
          check.reason = "read error";
          return false;
        }
        if (!IndicesInside(chunk, n, low, high)) {
          check.reason = indexProblem;
          return false;
        }
        left -= n;
      }
    }
    check.dataEnd = check.dataOffset + needed;
    return true;
  }

  uint8_t values[128 * 4];
  for (uint64_t left = pixels; left > 0;) {
    uint8_t packet = 0;
    const bool gotHeader = ReadU8(reader, packet);
    const unsigned count = (packet & 0x7fu) + 1;
    const size_t bytes = (packet & 0x80u) ? pb : count * pb;
    if (!gotHeader || BytesLeft(reader) < bytes) {
      check.reason = "RLE data ends after " + Num(pixels - left) + " of " + Num(pixels) + " pixels";
      return false;
    }
    // FreeImage writes a whole packet before it looks at the pixel count again, so
    // a packet that runs past the last pixel would write past the bitmap.
    if (count > left) {
      check.reason = "RLE packet runs " + Num(count - left) + " pixels past the end of the image";
      return false;
    }
    if (checkIndices) {
      if (ReadBytes(reader, values, bytes) != bytes || !IndicesInside(values, bytes, low, high)) {
        check.reason = indexProblem;
        return false;
      }
    } else {
      SeekTo(reader, reader.position + bytes);
    }
    left -= count;
  }
  check.dataEnd = reader.position;
  return true;
}

bool ReadU32At(ByteReader& reader, uint64_t at, uint32_t& value) {
  SeekTo(reader, at);
  return ReadU32LE(reader, value);
}

// True when every offset of the footer and of the extension area it names points
// at a structure that lies wholly inside the file, before the footer.
bool FooterInsideFile(ByteReader& reader, const TgaCheck& check) {
  if (check.fileSize < kTgaFooterSize) return false;
  const uint64_t footerStart = check.fileSize - kTgaFooterSize;
  if (footerStart < check.dataEnd) return false;
  uint32_t ext = 0, dev = 0;
  if (!ReadU32At(reader, footerStart, ext) || !ReadU32LE(reader, dev)) return false;
  if (dev != 0) {
    uint16_t tags = 0;
    SeekTo(reader, dev);
    if (dev + uint64_t{2} > footerStart || !ReadU16LE(reader, tags)) return false;
    if (dev + 2 + tags * kDeveloperTagBytes > footerStart) return false;
  }
  if (ext == 0) return true;
  if (ext + uint64_t{kTgaExtensionSize} > footerStart) return false;
  uint32_t colorCorrection = 0, stamp = 0, scanLines = 0;
  if (!ReadU32At(reader, ext + kExtColorCorrection, colorCorrection) ||
      !ReadU32At(reader, ext + kExtPostageStamp, stamp) ||
      !ReadU32At(reader, ext + kExtScanLineTable, scanLines))
    return false;
  if (colorCorrection != 0 && colorCorrection + kColorCorrectionBytes > footerStart) return false;
  if (scanLines != 0 && scanLines + 4 * uint64_t{check.header.height} > footerStart) return false;
  if (stamp != 0) {
    uint8_t size[2];
    SeekTo(reader, stamp);
    if (stamp + uint64_t{2} > footerStart || ReadBytes(reader, size, 2) != 2) return false;
    // FreeImage copies the stamp's claimed pixels from what it read up to the footer.
    const uint64_t claimed = 2 + uint64_t{size[0]} * size[1] * PixelBytes(check.header);
    if (size[0] == 0 || size[1] == 0) return false;
    if (stamp + claimed > footerStart || footerStart - stamp > kMaxStampSpan) return false;
  }
  return true;
}

// FreeImage takes a file for TGA 2.0 when its last 18 bytes are the signature.
bool HasSignature(ByteReader& reader, uint64_t size) {
  if (size <= sizeof kSignature) return false;
  uint8_t tail[sizeof kSignature];
  SeekTo(reader, size - sizeof kSignature);
  return ReadBytes(reader, tail, sizeof tail) == sizeof tail &&
         std::memcmp(tail, kSignature, sizeof tail) == 0;
}

void PlanView(TgaCheck& check) {
  const TgaHeader& h = check.header;
  check.viewEnd = check.fileSize;
  uint64_t pad = (check.footer && !check.footerValid) ? kHidingPadding : 0;
  if (IsRle(h)) {
    if ((check.fileSize - check.dataOffset) / h.height > kMaxRleCachePerRow) {
      check.viewEnd = check.dataEnd;
      pad = std::max(pad, kHidingPadding);
    }
    // FreeImage's RLE cache must hold at least one pixel, or it reads outside it.
    const uint64_t needed = check.dataOffset + uint64_t{h.height} * PixelBytes(h);
    if (check.viewEnd + pad < needed) pad = needed - check.viewEnd;
  }
  // Shorter padding could end in a partial signature that, with the file's own
  // bytes before it, reads as a footer again.
  if (pad > 0) pad = std::max(pad, kHidingPadding);
  check.viewSize = check.viewEnd + pad;
}

TgaRewrite ChooseRewrite(const TgaCheck& check) {
  const TgaHeader& h = check.header;
  if (IsGrey(h) && h.pixelDepth == 16) return TgaRewrite::kWidenGreyAlpha;
  if (IsColorMapped(h))
    return (h.mapFirst != 0 || h.mapEntryBits == 15 || h.mapEntryBits == 16)
               ? TgaRewrite::kNormalizeColorMap
               : TgaRewrite::kNone;
  // FreeImage skips an unused map correctly only before 15/16-bit pixels.
  if (check.mapBytes > 0 && h.pixelDepth != 15 && h.pixelDepth != 16)
    return TgaRewrite::kDropColorMap;
  return TgaRewrite::kNone;
}

}  // namespace

void ParseTgaHeader(const uint8_t* b, TgaHeader& h) {
  h.idLength = b[0];
  h.colorMapType = b[1];
  h.imageType = b[2];
  h.mapFirst = U16(b + 3);
  h.mapLength = U16(b + 5);
  h.mapEntryBits = b[7];
  h.xOrigin = U16(b + 8);
  h.yOrigin = U16(b + 10);
  h.width = U16(b + 12);
  h.height = U16(b + 14);
  h.pixelDepth = b[16];
  h.descriptor = b[17];
}

void WriteTgaHeader(const TgaHeader& h, uint8_t* b) {
  b[0] = h.idLength;
  b[1] = h.colorMapType;
  b[2] = h.imageType;
  PutU16(b + 3, h.mapFirst);
  PutU16(b + 5, h.mapLength);
  b[7] = h.mapEntryBits;
  PutU16(b + 8, h.xOrigin);
  PutU16(b + 10, h.yOrigin);
  PutU16(b + 12, h.width);
  PutU16(b + 14, h.height);
  b[16] = h.pixelDepth;
  b[17] = h.descriptor;
}

TgaCheck ValidateTarga(ByteReader& reader) {
  TgaCheck check;
  check.fileSize = reader.size;
  auto fail = [&check](std::string reason) {
    check.ok = false;
    check.reason = std::move(reason);
    return check;
  };

  uint8_t raw[kTgaHeaderSize];
  SeekTo(reader, 0);
  if (ReadBytes(reader, raw, sizeof raw) != sizeof raw)
    return fail("file of " + Num(reader.size) + " bytes is too short for a TGA header");
  TgaHeader& h = check.header;
  ParseTgaHeader(raw, h);
  if (std::string problem = HeaderProblem(h); !problem.empty()) return fail(problem);

  check.mapOffset = kTgaHeaderSize + h.idLength;
  if (check.mapOffset > check.fileSize) return fail("image ID runs past the end of the file");
  if (h.colorMapType == 1) check.mapBytes = uint64_t{h.mapLength} * ((h.mapEntryBits + 7u) / 8u);
  check.dataOffset = check.mapOffset + check.mapBytes;
  if (check.dataOffset > check.fileSize) return fail("colour map runs past the end of the file");

  check.decodedBytes = DecodedBytes(h);
  if (check.decodedBytes > kTgaDecodeBudget)
    return fail("image of " + Num(h.width) + " x " + Num(h.height) + " pixels needs " +
                Num(check.decodedBytes) + " bytes, more than the decoding budget of " +
                Num(kTgaDecodeBudget));

  if (!ScanPixelData(reader, check)) return fail(reader.ioError ? "read error" : check.reason);

  check.footer = HasSignature(reader, check.fileSize);
  check.footerValid = check.footer && FooterInsideFile(reader, check);
  if (reader.ioError) return fail("read error");

  PlanView(check);
  check.rewrite = ChooseRewrite(check);
  check.ok = true;
  return check;
}
