// The outside TGA corpus through the real binary: every file with a reference
// decode, converted at quality 100 without chroma subsampling, matches it.
#include <cmath>

#include "engine/tga_test_util.h"
#include "support/support.h"

using namespace testing_support;

namespace {

// The reference of conformance/NAME.tga is NAME.png; of common/{w}x{h}_{mode}_{origin}_{compression}.tga
// it is {w}x{h}_{mode}.png.
std::string ReferenceOf(const fs::path& tga) {
  std::string stem = tga.stem().string();
  if (tga.parent_path().filename() == "common") stem = stem.substr(0, stem.rfind('_', stem.rfind('_') - 1));
  const fs::path png = tga.parent_path() / (stem + ".png");
  return fs::exists(png) ? png.string() : std::string();
}

double PsnrRgb(const std::vector<tgatest::Rgba>& a, const std::vector<tgatest::Rgba>& b) {
  double squared = 0;
  for (size_t i = 0; i < a.size(); ++i)
    for (int d : {a[i].r - b[i].r, a[i].g - b[i].g, a[i].b - b[i].b}) squared += double(d) * d;
  const double mse = squared / (3.0 * double(a.size()));
  return mse == 0 ? INFINITY : 10 * std::log10(255.0 * 255.0 / mse);
}

TEST(Conformance, EveryReferencedFileConvertsWithinFortyDecibels) {
  TempDir out, runtime;
  int checked = 0;
  for (const char* folder : {"conformance", "common"}) {
    for (const auto& entry : fs::directory_iterator(tgatest::SharedTga(folder))) {
      if (entry.path().extension() != ".tga") continue;
      const std::string reference = ReferenceOf(entry.path());
      if (reference.empty()) continue;
      SCOPED_TRACE(entry.path().string());
      const RunResult r = RunVelmora(
          {"-q", "-i", entry.path().string(), "-o", out.path(), "--jpg-quality=100", "--jpg-chroma=none"},
          runtime.path());
      ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
      const std::string jpgPath = out / (entry.path().stem().string() + ".jpg");
      TestBitmap jpg(FreeImage_Load(FIF_JPEG, jpgPath.c_str(), JPEG_ACCURATE));
      TestBitmap ref(FreeImage_Load(FIF_PNG, reference.c_str(), 0));
      ASSERT_TRUE(jpg && ref);
      TestBitmap ref32(FreeImage_ConvertTo32Bits(ref.get()));
      TestBitmap jpg32(FreeImage_ConvertTo32Bits(jpg.get()));
      ASSERT_EQ(FreeImage_GetWidth(jpg.get()), FreeImage_GetWidth(ref.get()));
      ASSERT_EQ(FreeImage_GetHeight(jpg.get()), FreeImage_GetHeight(ref.get()));
      EXPECT_GE(PsnrRgb(tgatest::Pixels(jpg32.get()), tgatest::Pixels(ref32.get())), 40.0);
      ++checked;
    }
  }
  EXPECT_GE(checked, 30);  // the corpus was found
}

}  // namespace
