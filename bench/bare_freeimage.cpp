// FreeImage_Load of a Targa file and FreeImage_Save as JPEG, nothing else.
#include <FreeImage.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: %s IN.tga OUT.jpg FLAGS\n", argv[0]);
    return 2;
  }
  FIBITMAP* b = FreeImage_Load(FIF_TARGA, argv[1], 0);
  if (!b) return 1;
  const bool ok = FreeImage_Save(FIF_JPEG, b, argv[2], std::atoi(argv[3]));
  FreeImage_Unload(b);
  return ok ? 0 : 1;
}
