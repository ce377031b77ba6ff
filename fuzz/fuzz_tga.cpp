// libFuzzer entry for the TGA decode step. Each input becomes the content of one
// in-memory file, which is decoded by path exactly as the pipeline decodes a file.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/tga_decode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const int fd = memfd_create("fuzz.tga", 0);
  static const std::string path = "/proc/self/fd/" + std::to_string(fd);
  if (fd < 0 || ftruncate(fd, 0) != 0) return 0;
  if (pwrite(fd, data, size, 0) != static_cast<ssize_t>(size)) return 0;

  const DecodedImage image = DecodeTarga(path);
  if (!image.bitmap) return 0;
  // A decoded image has the size its header states, and a depth to report.
  const unsigned width = data[12] | data[13] << 8, height = data[14] | data[15] << 8;
  if (FreeImage_GetWidth(image.bitmap.get()) != width ||
      FreeImage_GetHeight(image.bitmap.get()) != height || image.sourceDepth <= 0)
    std::abort();
  return 0;
}
