// Where velmora's resize run spends its time: the same FreeImage calls the
// pipeline makes (TGA load, Lanczos rescale, JPEG save), timed one by one,
// plus a bare allocation of the full-size bitmap to show the page-fault cost.
// Usage: resize_stages in.tga WIDTH HEIGHT out.jpg
#include <FreeImage.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {
using Clock = std::chrono::steady_clock;
double Ms(Clock::time_point since) {
  return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
}
}  // namespace

int main(int argc, char** argv) {
  if (argc < 5) {
    std::fprintf(stderr, "usage: %s in.tga WIDTH HEIGHT out.jpg\n", argv[0]);
    return 2;
  }
  const int w = std::atoi(argv[2]), h = std::atoi(argv[3]);
  auto t = Clock::now();
  FIBITMAP* src = FreeImage_Load(FIF_TARGA, argv[1], 0);
  const double load = Ms(t);
  if (!src) return 1;
  const unsigned srcW = FreeImage_GetWidth(src), srcH = FreeImage_GetHeight(src), srcBpp = FreeImage_GetBPP(src);
  t = Clock::now();
  FIBITMAP* small = FreeImage_Rescale(src, w, h, FILTER_LANCZOS3);
  const double rescale = Ms(t);
  t = Clock::now();
  FreeImage_Unload(src);
  const double unload = Ms(t);
  t = Clock::now();
  const bool saved = FreeImage_Save(FIF_JPEG, small, argv[4], 95 | JPEG_SUBSAMPLING_444);
  const double save = Ms(t);
  FreeImage_Unload(small);
  t = Clock::now();
  FIBITMAP* blank = FreeImage_Allocate(srcW, srcH, srcBpp);
  const double alloc = Ms(t);
  FreeImage_Unload(blank);
  std::printf("load %.0f ms (of which allocating and zeroing ~%.0f), rescale %.0f ms, unload %.0f ms, save %.0f ms\n",
              load, alloc, rescale, unload, save);
  return saved ? 0 : 1;
}
