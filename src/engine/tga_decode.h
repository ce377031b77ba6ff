// The decode step of the pipeline: a TGA file is checked on the open file before
// FreeImage sees it, then decoded by FreeImage as TARGA from that same file.
#pragma once

#include <string>

#include "engine/bitmap.h"
#include "engine/byte_reader.h"
#include "engine/tga_validate.h"

struct DecodedImage {
  Bitmap bitmap;        // null when the file failed
  int sourceDepth = 0;  // depth the file reports for automatic output depth
  std::string failure;  // why the file failed; empty on success
};

// Opens `path`, checks it with ValidateTarga and decodes it with
// FreeImage_LoadFromHandle (FIF_TARGA, flags 0) through the same open file, so the
// bytes checked are the bytes decoded. A file that fails the check never reaches
// FreeImage. Memory: the bitmap and a fixed read window, never a copy of the file,
// except for the few variants FreeImage decodes wrongly: those are rewritten in
// memory into the equivalent variant it decodes correctly (see RewriteTarga).
DecodedImage DecodeTarga(const std::string& path);

// The same for a file or memory block already opened as `reader`.
DecodedImage DecodeTargaFrom(ByteReader& reader);

// Decodes a source that passed `check` (with nothing to rewrite), showing FreeImage
// exactly the view the check planned. Null when FreeImage fails.
Bitmap DecodeCheckedTarga(ByteReader& reader, const TgaCheck& check);
