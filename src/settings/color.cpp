#include "settings/color.h"

namespace {
uint32_t ReadPair(char a, char b) {
  auto digit = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  const int hi = digit(a);
  if (hi < 0) return 0;
  const int lo = digit(b);
  if (lo < 0) return static_cast<uint32_t>(hi);
  return static_cast<uint32_t>(hi * 16 + lo);
}
}  // namespace

uint32_t ParseHexColor(const std::string& text, uint8_t alpha) {
  uint32_t rgb = 0;
  if (text.size() == 6) {
    rgb = ReadPair(text[0], text[1]) | ReadPair(text[2], text[3]) << 8 | ReadPair(text[4], text[5]) << 16;
  }
  return rgb | static_cast<uint32_t>(alpha) << 24;
}
