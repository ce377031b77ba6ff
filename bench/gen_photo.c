/* Writes a photo-like 24-bit image (smooth gradients, soft blobs and sensor-like
 * noise) as an uncompressed TGA and, with the same pixels, a binary PPM for
 * tools that do not read TGA natively.
 * Usage: gen_photo WIDTH HEIGHT out.tga [out.ppm] */
#include <math.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>

static uint32_t rng = 12345u;
static int noise(void) {
  rng = rng * 1664525u + 1013904223u;
  return (int)(rng >> 24) % 25 - 12; /* -12..12 */
}
static uint8_t clamp(double v) { return v < 0 ? 0 : v > 255 ? 255 : (uint8_t)v; }

int main(int argc, char** argv) {
  if (argc < 4) {
    fprintf(stderr, "usage: %s WIDTH HEIGHT out.tga [out.ppm]\n", argv[0]);
    return 2;
  }
  const int w = atoi(argv[1]), h = atoi(argv[2]);
  FILE* tga = fopen(argv[3], "wb");
  FILE* ppm = argc > 4 ? fopen(argv[4], "wb") : NULL;
  if (!tga || (argc > 4 && !ppm)) return 1;
  /* Top-left origin (descriptor bit 5), so both files hold rows in the same order. */
  const uint8_t header[18] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                              (uint8_t)(w & 255), (uint8_t)(w >> 8), (uint8_t)(h & 255), (uint8_t)(h >> 8),
                              24, 0x20};
  fwrite(header, 1, sizeof header, tga);
  if (ppm) fprintf(ppm, "P6\n%d %d\n255\n", w, h);
  uint8_t* bgr = malloc((size_t)w * 3);
  uint8_t* rgb = malloc((size_t)w * 3);
  for (int y = 0; y < h; ++y) {
    const double fy = (double)y / h;
    for (int x = 0; x < w; ++x) {
      const double fx = (double)x / w;
      const double blob = 60.0 * sin(fx * 9.0 + 1.3) * cos(fy * 7.0 - 0.4);
      const uint8_t r = clamp(40 + 170 * fx + blob + noise());
      const uint8_t g = clamp(70 + 120 * fy - 0.5 * blob + noise());
      const uint8_t b = clamp(200 - 130 * fx * fy + 0.8 * blob + noise());
      bgr[3 * x] = b, bgr[3 * x + 1] = g, bgr[3 * x + 2] = r;
      rgb[3 * x] = r, rgb[3 * x + 1] = g, rgb[3 * x + 2] = b;
    }
    fwrite(bgr, 1, (size_t)w * 3, tga);
    if (ppm) fwrite(rgb, 1, (size_t)w * 3, ppm);
  }
  free(bgr);
  free(rgb);
  return (fclose(tga) != 0 || (ppm && fclose(ppm) != 0)) ? 1 : 0;
}
