#include "engine/tga_rewrite.h"

#include <algorithm>
#include <cstring>

namespace {

bool AppendRange(ByteReader& reader, uint64_t from, uint64_t to, std::vector<uint8_t>& out) {
  const size_t at = out.size();
  const size_t n = static_cast<size_t>(to - from);
  out.resize(at + n);
  SeekTo(reader, from);
  return ReadBytes(reader, out.data() + at, n) == n;
}

// A header for the rewritten file: no ID field, no colour map unless one is set.
TgaHeader BareHeader(const TgaHeader& source) {
  TgaHeader h = source;
  h.idLength = 0;
  h.colorMapType = 0;
  h.mapFirst = 0;
  h.mapLength = 0;
  h.mapEntryBits = 0;
  return h;
}

void AppendHeader(const TgaHeader& h, std::vector<uint8_t>& out) {
  out.resize(out.size() + kTgaHeaderSize);
  WriteTgaHeader(h, out.data() + out.size() - kTgaHeaderSize);
}

// Indices below the first entry are unused (the check proved it) and stay black;
// entries past index 255 are out of reach of 8-bit pixels and are left out.
bool NormalizeColorMap(ByteReader& reader, const TgaCheck& check, std::vector<uint8_t>& out) {
  const TgaHeader& src = check.header;
  TgaHeader h = BareHeader(src);
  const unsigned entries = std::min(256u, unsigned{src.mapFirst} + src.mapLength);
  h.colorMapType = 1;
  h.mapLength = static_cast<uint16_t>(entries);
  h.mapEntryBits = src.mapEntryBits == 32 ? 32 : 24;
  const unsigned inBytes = (src.mapEntryBits + 7u) / 8u;
  const unsigned outBytes = h.mapEntryBits / 8u;
  out.reserve(kTgaHeaderSize + entries * outBytes + (check.dataEnd - check.dataOffset));
  AppendHeader(h, out);
  out.resize(kTgaHeaderSize + entries * outBytes, 0);
  SeekTo(reader, check.mapOffset);
  for (unsigned i = src.mapFirst; i < entries; ++i) {
    uint8_t e[4];
    if (ReadBytes(reader, e, inBytes) != inBytes) return false;
    uint8_t* bgr = out.data() + kTgaHeaderSize + i * outBytes;
    if (inBytes == 2) {
      // ARRRRRGG GGGBBBBB: the top bit is an attribute bit, not colour.
      const unsigned v = e[0] | e[1] << 8;
      bgr[0] = Expand5(v & 31u);
      bgr[1] = Expand5(v >> 5 & 31u);
      bgr[2] = Expand5(v >> 10 & 31u);
    } else {
      std::memcpy(bgr, e, outBytes);
    }
  }
  return AppendRange(reader, check.dataOffset, check.dataEnd, out);
}

bool DropColorMap(ByteReader& reader, const TgaCheck& check, std::vector<uint8_t>& out) {
  out.reserve(kTgaHeaderSize + (check.dataEnd - check.dataOffset));
  AppendHeader(BareHeader(check.header), out);
  return AppendRange(reader, check.dataOffset, check.dataEnd, out);
}

// Grey then alpha becomes blue, green, red (all grey) and alpha.
bool AppendWidened(ByteReader& reader, uint64_t pixels, std::vector<uint8_t>& out) {
  uint8_t chunk[4096];
  while (pixels > 0) {
    const size_t n = static_cast<size_t>(std::min<uint64_t>(pixels, sizeof chunk / 2));
    if (ReadBytes(reader, chunk, n * 2) != n * 2) return false;
    const size_t at = out.size();
    out.resize(at + n * 4);
    uint8_t* bgra = out.data() + at;
    for (size_t i = 0; i < n; ++i, bgra += 4) {
      bgra[0] = bgra[1] = bgra[2] = chunk[2 * i];
      bgra[3] = chunk[2 * i + 1];
    }
    pixels -= n;
  }
  return true;
}

bool WidenGreyAlpha(ByteReader& reader, const TgaCheck& check, std::vector<uint8_t>& out) {
  const TgaHeader& src = check.header;
  TgaHeader h = BareHeader(src);
  h.imageType = IsRle(src) ? kTgaRleTrueColor : kTgaTrueColor;
  h.pixelDepth = 32;
  h.descriptor = static_cast<uint8_t>((src.descriptor & 0x30u) | 8u);
  const uint64_t pixels = uint64_t{src.width} * src.height;
  // Raw pixels double; an RLE stream at most doubles.
  out.reserve(kTgaHeaderSize + (IsRle(src) ? 2 * (check.dataEnd - check.dataOffset) : 4 * pixels));
  AppendHeader(h, out);
  SeekTo(reader, check.dataOffset);
  if (!IsRle(src)) return AppendWidened(reader, pixels, out);
  for (uint64_t left = pixels; left > 0;) {
    uint8_t packet = 0;
    if (!ReadU8(reader, packet)) return false;
    const unsigned count = (packet & 0x7fu) + 1;
    if (count > left) return false;
    out.push_back(packet);
    if (!AppendWidened(reader, (packet & 0x80u) ? 1 : count, out)) return false;
    left -= count;
  }
  return true;
}

}  // namespace

std::vector<uint8_t> RewriteTarga(ByteReader& reader, const TgaCheck& check) {
  std::vector<uint8_t> out;
  bool done = false;
  switch (check.rewrite) {
    case TgaRewrite::kNone:
      break;
    case TgaRewrite::kNormalizeColorMap:
      done = NormalizeColorMap(reader, check, out);
      break;
    case TgaRewrite::kDropColorMap:
      done = DropColorMap(reader, check, out);
      break;
    case TgaRewrite::kWidenGreyAlpha:
      done = WidenGreyAlpha(reader, check, out);
      break;
  }
  if (!done) out.clear();
  return out;
}
