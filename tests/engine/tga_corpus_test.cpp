// The outside TGA corpus: reference decodes, JPEG round trips, broken files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "engine/tga_decode.h"
#include "tga_test_util.h"

namespace {

using namespace tgatest;
namespace fs = std::filesystem;

struct MemoryDeleter {
  void operator()(FIMEMORY* m) const { FreeImage_CloseMemory(m); }
};
using Memory = std::unique_ptr<FIMEMORY, MemoryDeleter>;

struct ReferenceCase {
  std::string tga;        // relative to the shared tga folder
  std::string reference;  // the PNG it must decode to
};

void PrintTo(const ReferenceCase& c, std::ostream* os) { *os << c.tga; }

std::string CaseName(const testing::TestParamInfo<ReferenceCase>& info) {
  std::string name = fs::path(info.param.tga).parent_path().string() + "_" +
                     fs::path(info.param.tga).stem().string();
  for (char& c : name)
    if (!isalnum(static_cast<unsigned char>(c))) c = '_';
  return name;
}

// conformance/NAME.tga -> NAME.png; common/{w}x{h}_{mode}_{origin}_{compression}.tga
// -> {w}x{h}_{mode}.png. Files without a reference are left out.
std::vector<ReferenceCase> ReferenceCases() {
  std::vector<ReferenceCase> cases;
  for (const char* folder : {"conformance", "common"}) {
    const fs::path dir = SharedTga(folder);
    if (!fs::is_directory(dir)) continue;
    for (const auto& entry : fs::directory_iterator(dir)) {
      if (entry.path().extension() != ".tga") continue;
      std::string stem = entry.path().stem().string();
      if (std::string(folder) == "common") stem = stem.substr(0, stem.rfind('_', stem.rfind('_') - 1));
      const fs::path png = dir / (stem + ".png");
      if (fs::exists(png))
        cases.push_back({std::string(folder) + "/" + entry.path().filename().string(), png.string()});
    }
  }
  std::sort(cases.begin(), cases.end(),
            [](const ReferenceCase& a, const ReferenceCase& b) { return a.tga < b.tga; });
  return cases;
}

bool HasAlpha(FIBITMAP* reference) {
  return FreeImage_GetColorType(reference) == FIC_RGBALPHA || FreeImage_IsTransparent(reference);
}

// PSNR over red, green and blue of two images of one size.
double Psnr(const std::vector<Rgba>& a, const std::vector<Rgba>& b) {
  double squared = 0;
  for (size_t i = 0; i < a.size(); ++i) {
    const int d[3] = {a[i].r - b[i].r, a[i].g - b[i].g, a[i].b - b[i].b};
    for (int v : d) squared += double(v) * v;
  }
  const double mse = squared / (3.0 * a.size());
  return mse == 0 ? INFINITY : 10 * std::log10(255.0 * 255.0 / mse);
}

// The decoded image as the pipeline hands it to the JPEG encoder (24 bits), saved
// at quality 100 without chroma subsampling and read back.
Bitmap JpegRoundTrip(FIBITMAP* bitmap) {
  Bitmap rgb(FreeImage_ConvertTo24Bits(bitmap));
  Memory memory(FreeImage_OpenMemory());
  if (!rgb || !FreeImage_SaveToMemory(FIF_JPEG, rgb.get(), memory.get(), 100 | JPEG_SUBSAMPLING_444))
    return nullptr;
  FreeImage_SeekMemory(memory.get(), 0, SEEK_SET);
  // FreeImage decodes JPEG with a fast integer transform unless asked otherwise;
  // that would measure the reader's shortcuts rather than what the file holds.
  return Bitmap(FreeImage_LoadFromMemory(FIF_JPEG, memory.get(), JPEG_ACCURATE));
}

class TgaReference : public testing::TestWithParam<ReferenceCase> {};

TEST_P(TgaReference, DecodesToReferencePixelsAndSurvivesJpeg) {
  const DecodedImage decoded = DecodeTarga(SharedTga(GetParam().tga));
  ASSERT_TRUE(decoded.bitmap) << decoded.failure;
  const Bitmap reference(FreeImage_Load(FIF_PNG, GetParam().reference.c_str(), 0));
  ASSERT_TRUE(reference);
  const unsigned width = FreeImage_GetWidth(reference.get()), height = FreeImage_GetHeight(reference.get());
  ASSERT_EQ(FreeImage_GetWidth(decoded.bitmap.get()), width);
  ASSERT_EQ(FreeImage_GetHeight(decoded.bitmap.get()), height);

  const Bitmap ref32(FreeImage_ConvertTo32Bits(reference.get()));
  const bool alpha = HasAlpha(reference.get());
  std::vector<Rgba> expected = Pixels(ref32.get());
  std::vector<Rgba> actual = Pixels(decoded.bitmap.get());
  if (!alpha)
    for (Rgba& c : actual) c.a = 255;
  size_t wrong = 0, first = 0;
  for (size_t i = 0; i < expected.size(); ++i)
    if (!(expected[i] == actual[i]) && wrong++ == 0) first = i;
  EXPECT_EQ(wrong, 0u) << "first at x=" << first % width << " y=" << first / width << ": "
                       << actual[first] << " instead of " << expected[first];

  const Bitmap jpeg = JpegRoundTrip(decoded.bitmap.get());
  ASSERT_TRUE(jpeg);
  EXPECT_GE(Psnr(Pixels(jpeg.get()), expected), 40.0);
}

INSTANTIATE_TEST_SUITE_P(Corpus, TgaReference, testing::ValuesIn(ReferenceCases()), CaseName);

// Every corpus file FreeImage can be shown unchanged decodes to exactly what
// FreeImage makes of the path; the file and a memory copy of it check alike.
TEST(TgaCorpus, UnchangedFilesDecodeAsFromThePath) {
  size_t compared = 0;
  for (const char* folder : {"conformance", "common", "misc", "malformed"}) {
    for (const auto& entry : fs::directory_iterator(SharedTga(folder))) {
      if (entry.path().extension() != ".tga") continue;
      const std::string path = entry.path().string();
      SCOPED_TRACE(path);
      std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
      ByteReader fromFile;
      ASSERT_TRUE(OpenByteReader(fromFile, file.get()));
      const TgaCheck check = ValidateTarga(fromFile);

      Bytes bytes(fromFile.size);
      SeekTo(fromFile, 0);
      ASSERT_EQ(ReadBytes(fromFile, bytes.data(), bytes.size()), bytes.size());
      ByteReader fromMemory = MemoryByteReader(bytes.data(), bytes.size());
      const TgaCheck again = ValidateTarga(fromMemory);
      EXPECT_EQ(again.ok, check.ok);
      EXPECT_EQ(again.reason, check.reason);
      EXPECT_EQ(again.dataEnd, check.dataEnd);
      EXPECT_EQ(again.viewSize, check.viewSize);

      const bool unchanged = check.ok && check.rewrite == TgaRewrite::kNone &&
                             check.viewEnd == check.fileSize && check.viewSize == check.fileSize;
      if (!unchanged) continue;
      const Bitmap direct(FreeImage_Load(FIF_TARGA, path.c_str(), 0));
      const DecodedImage decoded = DecodeTarga(path);
      EXPECT_TRUE(SameBitmap(decoded.bitmap.get(), direct.get()));
      ++compared;
    }
  }
  EXPECT_GT(compared, 0u) << "no corpus under " << SharedTga("");
}

// The conformance files without a reference PNG hold one picture in 16-bit
// colours: through a colour map (RLE and raw) and as 16-bit pixels.
TEST(TgaCorpus, SixteenBitMapsAgreeWithSixteenBitPixels) {
  const DecodedImage pixels16 = DecodeTarga(SharedTga("conformance/utc16.tga"));
  ASSERT_TRUE(pixels16.bitmap) << pixels16.failure;
  for (const char* mapped : {"conformance/ccm8.tga", "conformance/ucm8.tga"}) {
    const DecodedImage decoded = DecodeTarga(SharedTga(mapped));
    ASSERT_TRUE(decoded.bitmap) << mapped << ": " << decoded.failure;
    EXPECT_EQ(decoded.sourceDepth, 8);
    EXPECT_TRUE(Pixels(decoded.bitmap.get()) == Pixels(pixels16.bitmap.get())) << mapped;
  }
}

struct Outcome {
  const char* file;
  unsigned width, height;  // 0 x 0: the file must fail
  int sourceDepth;
  const char* failure;  // part of the failure text
};

// clang-format off
const Outcome kOutcomes[] = {
    {"malformed/bad-color-map.tga", 0, 0, 0, "0 x 0 pixels is empty"},
    {"malformed/flip-zero-height.tga", 0, 0, 0, "unknown image type 163"},
    {"malformed/flip-zero-height2.tga", 0, 0, 0, "image type 0"},
    {"malformed/orientation-zero-width.tga", 0, 0, 0, "image type 0"},
    {"malformed/overfull-image.tga", 0, 0, 0, "RLE data ends after 0 of 10 pixels"},
    {"malformed/sixteen-bit-gray-colormap.tga", 0, 0, 0, "image type 0"},
    {"malformed/sixteen-bit-gray-colormap2.tga", 0, 0, 0, "pixel depth 32 not supported for image type 11"},
    {"malformed/slice-copy-length.tga", 0, 0, 0, "RLE data ends after 0 of 263168 pixels"},
    {"misc/200x32_p_bl_raw_origin.tga", 200, 32, 8, ""},
    {"misc/cross_scan_line.tga", 2, 2, 8, ""},
    {"misc/cross_scan_line_truncated.tga", 0, 0, 0, "RLE data ends after 4032 of 4096 pixels"},
    {"misc/la.tga", 64, 64, 8, ""},
    {"misc/p_16.tga", 128, 128, 8, ""},
    {"misc/p_8.tga", 0, 0, 0, "colour-map entry size 8"},
    {"misc/rgb32rle.tga", 199, 199, 32, ""},
    {"misc/rgb32rle_bottom_right.tga", 199, 199, 32, ""},
    {"misc/rgb32rle_top_right.tga", 199, 199, 32, ""},
    {"misc/rgba16.tga", 2, 1, 16, ""},
    {"misc/tga_id_field.tga", 100, 100, 24, ""},
};
// clang-format on

void PrintTo(const Outcome& o, std::ostream* os) { *os << o.file; }

class TgaOutcome : public testing::TestWithParam<Outcome> {};

TEST_P(TgaOutcome, DecodesOrFailsCleanly) {
  const Outcome& o = GetParam();
  const DecodedImage decoded = DecodeTarga(SharedTga(o.file));
  if (o.width == 0) {
    EXPECT_FALSE(decoded.bitmap);
    EXPECT_NE(decoded.failure.find(o.failure), std::string::npos) << decoded.failure;
    return;
  }
  ASSERT_TRUE(decoded.bitmap) << decoded.failure;
  EXPECT_EQ(FreeImage_GetWidth(decoded.bitmap.get()), o.width);
  EXPECT_EQ(FreeImage_GetHeight(decoded.bitmap.get()), o.height);
  EXPECT_EQ(decoded.sourceDepth, o.sourceDepth);
}

INSTANTIATE_TEST_SUITE_P(Corpus, TgaOutcome, testing::ValuesIn(kOutcomes),
                         [](const testing::TestParamInfo<Outcome>& info) {
                           std::string name = fs::path(info.param.file).stem().string();
                           for (char& c : name)
                             if (!isalnum(static_cast<unsigned char>(c))) c = '_';
                           return name;
                         });

}  // namespace
