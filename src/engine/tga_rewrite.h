// Valid TGA variants that FreeImage decodes wrongly, rewritten in memory into the
// equivalent variant it decodes correctly, so that one decoder serves every file.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/byte_reader.h"
#include "engine/tga_validate.h"

// Rewrites the file behind `reader`, which ValidateTarga passed as `check`, as
// check.rewrite says: a complete TGA 1.0 file without ID field or footer, the
// same size and orientation, the pixel data re-encoded only where the pixel
// format changes. Empty when the file can no longer be read as it was checked.
std::vector<uint8_t> RewriteTarga(ByteReader& reader, const TgaCheck& check);

// The nearest 8-bit value of a 5-bit colour channel.
inline uint8_t Expand5(unsigned v) { return static_cast<uint8_t>((v * 255 + 15) / 31); }
