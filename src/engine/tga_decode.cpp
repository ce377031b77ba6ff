// Interim decoder; the validating decoder replaces it.
#include "engine/tga_decode.h"

DecodedImage DecodeTarga(const std::string& path) {
  DecodedImage d;
  d.bitmap.reset(FreeImage_Load(FIF_TARGA, path.c_str(), 0));
  if (d.bitmap) d.sourceDepth = static_cast<int>(FreeImage_GetBPP(d.bitmap.get()));
  return d;
}
