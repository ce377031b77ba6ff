#include "settings/textcase.h"

#include <glib.h>

namespace {

bool IsAscii(std::string_view text) {
  for (char c : text)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

// GLib maps only valid UTF-8; anything else is mapped byte by byte.
template <typename AsciiMap, typename Utf8Map>
std::string MapCase(std::string_view text, AsciiMap ascii, Utf8Map utf8) {
  if (!IsAscii(text) && g_utf8_validate(text.data(), static_cast<gssize>(text.size()), nullptr)) {
    gchar* mapped = utf8(text.data(), static_cast<gssize>(text.size()));
    std::string result(mapped);
    g_free(mapped);
    return result;
  }
  std::string result(text);
  for (char& c : result) c = ascii(c);
  return result;
}

}  // namespace

std::string UpperCase(std::string_view text) {
  return MapCase(
      text, [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; },
      g_utf8_strup);
}

std::string FoldCase(std::string_view text) {
  return MapCase(
      text, [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; },
      g_utf8_casefold);
}
