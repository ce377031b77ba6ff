// The check every TGA file passes before FreeImage sees it: one pass over the
// open file that proves each byte the decoder will read is present and sane,
// and plans how the file is shown to the decoder.
#pragma once

#include <cstdint>
#include <string>

#include "engine/byte_reader.h"

inline constexpr size_t kTgaHeaderSize = 18;
inline constexpr size_t kTgaFooterSize = 26;
inline constexpr size_t kTgaExtensionSize = 495;
// Decoded pixels (rows padded as FreeImage pads them) a file may claim.
inline constexpr uint64_t kTgaDecodeBudget = uint64_t{2} << 30;

enum TgaImageType : uint8_t {
  kTgaColorMapped = 1,
  kTgaTrueColor = 2,
  kTgaGrey = 3,
  kTgaRleColorMapped = 9,
  kTgaRleTrueColor = 10,
  kTgaRleGrey = 11,
};

struct TgaHeader {
  uint8_t idLength = 0;
  uint8_t colorMapType = 0;
  uint8_t imageType = 0;
  uint16_t mapFirst = 0;     // index of the first colour-map entry
  uint16_t mapLength = 0;    // number of entries stored
  uint8_t mapEntryBits = 0;  // 15, 16, 24 or 32
  uint16_t xOrigin = 0;
  uint16_t yOrigin = 0;
  uint16_t width = 0;
  uint16_t height = 0;
  uint8_t pixelDepth = 0;
  uint8_t descriptor = 0;  // bits 0-3 attribute bits, 4 right-to-left, 5 top-down
};

void ParseTgaHeader(const uint8_t* bytes, TgaHeader& header);
void WriteTgaHeader(const TgaHeader& header, uint8_t* bytes);

inline bool IsRle(const TgaHeader& h) { return h.imageType >= kTgaRleColorMapped; }
inline bool IsColorMapped(const TgaHeader& h) {
  return h.imageType == kTgaColorMapped || h.imageType == kTgaRleColorMapped;
}
inline bool IsGrey(const TgaHeader& h) {
  return h.imageType == kTgaGrey || h.imageType == kTgaRleGrey;
}
inline unsigned PixelBytes(const TgaHeader& h) { return (h.pixelDepth + 7u) / 8u; }

// Valid variants FreeImage decodes wrongly, and the equivalent each is rewritten to.
enum class TgaRewrite : uint8_t {
  kNone,
  // A colour map that starts past index 0 or holds 15/16-bit entries: re-based to
  // index 0 with 24-bit entries (32-bit ones keep their alpha).
  kNormalizeColorMap,
  // A colour map stored with an image type that has no use for it (24/32-bit
  // true colour, 8-bit grey): FreeImage reads it as pixels or as a palette.
  kDropColorMap,
  // 16-bit grey with alpha, which FreeImage refuses: widened to 32-bit true colour.
  kWidenGreyAlpha,
};

struct TgaCheck {
  bool ok = false;
  std::string reason;  // why the file is refused; empty when ok
  TgaHeader header;
  uint64_t fileSize = 0;
  uint64_t mapOffset = 0;   // colour-map bytes as stored
  uint64_t mapBytes = 0;
  uint64_t dataOffset = 0;  // pixel data as stored, raw or run-length encoded
  uint64_t dataEnd = 0;
  uint64_t decodedBytes = 0;  // size of the bitmap FreeImage will allocate
  bool footer = false;        // the file ends in a TGA 2.0 footer
  bool footerValid = false;   // ...whose offsets all lie inside the file
  // What the decoder is shown: the file's first viewEnd bytes, then zero bytes up
  // to viewSize. Padding hides a footer (its signature is no longer at the end)
  // and gives FreeImage's RLE reader the read-ahead it assumes.
  uint64_t viewEnd = 0;
  uint64_t viewSize = 0;
  TgaRewrite rewrite = TgaRewrite::kNone;
};

// Checks the file behind `reader` from its first byte: header fields, the ID
// field and colour map inside the file, raw pixel data complete, every RLE
// packet complete and within the pixel count, colour-map indices inside the map,
// footer and extension-area offsets inside the file (a footer that fails is
// hidden from the decoder, as if the file were TGA 1.0), and the decoded size
// within kTgaDecodeBudget. Streams through the file once; allocates nothing
// that grows with it.
TgaCheck ValidateTarga(ByteReader& reader);
