// Colour settings are six hexadecimal digits, "RRGGBB".
#pragma once

#include <cstdint>
#include <string>

// Packs red in bits 0-7, green 8-15, blue 16-23 and alpha 24-31. A text that is
// not six characters long gives black; each pair is read up to its first
// non-hexadecimal character (none gives 0).
uint32_t ParseHexColor(const std::string& text, uint8_t alpha);
