// One owner per FreeImage bitmap: stages take a Bitmap and hand one back.
#pragma once

#include <FreeImage.h>

#include <memory>

struct BitmapDeleter {
  void operator()(FIBITMAP* b) const {
    if (b) FreeImage_Unload(b);
  }
};
using Bitmap = std::unique_ptr<FIBITMAP, BitmapDeleter>;
