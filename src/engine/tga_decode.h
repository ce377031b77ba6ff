// Decoding of Targa files.
#pragma once

#include <string>

#include "engine/bitmap.h"

struct DecodedImage {
  Bitmap bitmap;        // null when the file failed
  int sourceDepth = 0;  // depth the file reports for automatic output depth
};

DecodedImage DecodeTarga(const std::string& path);
