// Writes a 24-bit uncompressed Targa file of gradients plus noise, so encoders
// see photo-like content rather than flat colour.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: %s WIDTH HEIGHT OUT.tga\n", argv[0]);
    return 2;
  }
  const int w = std::atoi(argv[1]), h = std::atoi(argv[2]);
  FILE* f = std::fopen(argv[3], "wb");
  if (!f || w <= 0 || h <= 0 || w > 65535 || h > 65535) return 1;
  const uint8_t header[18] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                              uint8_t(w), uint8_t(w >> 8), uint8_t(h), uint8_t(h >> 8), 24, 0};
  std::fwrite(header, 1, sizeof header, f);
  std::mt19937 rng(12345);
  std::vector<uint8_t> row(static_cast<size_t>(w) * 3);
  auto clamp = [](int v) { return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v); };
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const int n = static_cast<int>(rng() % 25) - 12;
      row[x * 3 + 0] = clamp(128 + 100 * (x - y) / (w + h) + n);  // blue
      row[x * 3 + 1] = clamp(255 * y / h + n);                       // green
      row[x * 3 + 2] = clamp(255 * x / w + n);                       // red
    }
    std::fwrite(row.data(), 1, row.size(), f);
  }
  return std::fclose(f) == 0 ? 0 : 1;
}
