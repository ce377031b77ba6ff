// File and folder names as users have them: blanks, accents, CJK, emoji, bytes
// that are not UTF-8, names made of dots and dashes; and names the file system
// refuses, which must fail as cleanly as any other save. Watermark texts in
// the same scripts are drawn, not dropped.
#include <algorithm>
#include <cstdlib>
#include <set>

#include "support/support.h"

using namespace testing_support;

namespace {

struct NameCase {
  const char* inputFolder;  // made inside the test's folder
  const char* inputName;
  const char* outputFolder;
  const char* mask;  // empty: the default mask
  const char* expected;
};

class AwkwardNames : public ::testing::Test {
 protected:
  TempDir dir, runtime;
  RunResult Run(std::vector<std::string> args) { return RunVelmora(args, runtime.path()); }
};

TEST_F(AwkwardNames, Convert) {
  // clang-format off
  const NameCase cases[] = {
    {"with blanks", "a photo .tga",          "out put",            "",                 "a photo .jpg"},
    {"Café",        "Ünïcödé résumé.tga",    "Ausgabe Öl",         "",                 "Ünïcödé résumé.jpg"},
    {"Café",        "straße élan.tga",       "Ausgabe Öl",         "%filename[u]%.%ext%", "STRASSE ÉLAN.jpg"},
    {"Café",        "élan VITAL.tga",        "Ausgabe Öl",         "%filename[t]%.%ext%", "Élan vital.jpg"},
    {"写真",        "猫の写真.tga",          "出力",               "",                 "猫の写真.jpg"},
    {"写真",        "猫の写真.tga",          "出力",               "%filename[u]%_%n%.%ext%", "猫の写真_00001.jpg"},
    {"📷 emoji",    "🐱 cat 😀.tga",         "🗂 out",             "",                 "🐱 cat 😀.jpg"},
    {"📷 emoji",    "🐱 cat 😀.tga",         "🗂 out",             "Ü_%filename%.%ext%", "ü_🐱 cat 😀.jpg"},
    {"dashes",      "-.-.tga",               "-",                  "",                 "-.-.jpg"},
    {"dashes",      "--.tga",                "--",                 "",                 "--.jpg"},
    {"dots",        "....tga",               "...",                "",                 "....jpg"},
    {"latin-1",     "caf\xe9.tga",           "sortie \xe9t\xe9",   "%filename[u]%.%ext%", "CAF\xe9.jpg"},
  };
  // clang-format on
  for (const NameCase& c : cases) {
    SCOPED_TRACE(std::string(c.inputName) + " -> " + c.expected);
    const std::string inFolder = dir / c.inputFolder;
    const std::string outFolder = dir / c.outputFolder;
    fs::create_directories(inFolder);
    fs::create_directories(outFolder);
    const std::string input = WriteTga(inFolder + "/" + c.inputName, 24, 16);
    std::vector<std::string> args = {"-i", input, "-o", outFolder};
    if (*c.mask) args.push_back(std::string("--filename-mask=") + c.mask);
    const RunResult r = Run(args);
    EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_EQ(FileNames(outFolder), std::set<std::string>{c.expected});
    TestBitmap jpg = LoadJpeg(outFolder + "/" + c.expected);
    ASSERT_TRUE(jpg);
    EXPECT_EQ(FreeImage_GetWidth(jpg.get()), 24u);
    EXPECT_EQ(FreeImage_GetHeight(jpg.get()), 16u);
    fs::remove_all(outFolder);
  }
}

TEST_F(AwkwardNames, RefusedByTheFileSystemFailCleanly) {
  const std::string input = WriteTga(dir / "photo.tga", 24, 16);
  const std::string out = dir / "out";
  fs::create_directories(out + "/folder");
  WriteFile(out + "/photo.jpg", "older file");
  std::string longAccented;
  for (int i = 0; i < 128; ++i) longAccented += "é";  // 256 bytes
  const char* const tooLong = "File name too long";
  // clang-format off
  const std::pair<std::string, const char*> cases[] = {
    {std::string(252, 'x') + ".%ext%", tooLong},  // 256 bytes, one more than a name may have
    {longAccented, tooLong},
    {"%filename%" + std::string(251, '_'), tooLong},  // 256 bytes once expanded
    {".", ""}, {"..", ""}, {"folder", "Is a directory"},
  };
  // clang-format on
  const std::set<std::string> before = FileNames(out);
  for (const auto& [mask, cause] : cases) {
    SCOPED_TRACE(mask);
    const RunResult r = Run({"-i", input, "-o", out, "--filename-mask=" + mask});
    EXPECT_EQ(r.exitCode, 1) << r.out << r.err;
    ASSERT_FALSE(r.lines().empty());
    EXPECT_EQ(r.lines().back(), "Conversion stopped") << r.out;
    EXPECT_EQ(r.err.rfind("velmora: " + input + ": ", 0), 0u) << r.err;
    EXPECT_NE(r.err.find(cause), std::string::npos) << r.err;
    EXPECT_EQ(FileNames(out), before);
    EXPECT_TRUE(fs::is_empty(out + "/folder"));
    EXPECT_EQ(ReadFile(out + "/photo.jpg"), "older file");
  }
  // One byte less is a name like any other.
  ASSERT_EQ(Run({"-i", input, "-o", out, "--filename-mask=" + std::string(251, 'x') + ".%ext%"}).exitCode, 0);
  EXPECT_TRUE(fs::exists(out + "/" + std::string(251, 'x') + ".jpg"));
}

// Pixels of `marked` whose colour differs from `plain` by more than JPEG noise,
// counted inside and outside the box from (x0, y0) to the bottom-right corner.
struct ChangedPixels {
  int inside = 0, outside = 0;
};

ChangedPixels CountChanged(FIBITMAP* plain, FIBITMAP* marked, unsigned x0, unsigned y0) {
  ChangedPixels n;
  const unsigned w = FreeImage_GetWidth(plain), h = FreeImage_GetHeight(plain);
  for (unsigned y = 0; y < h; ++y)
    for (unsigned x = 0; x < w; ++x) {
      RGBQUAD a{}, b{};
      FreeImage_GetPixelColor(plain, x, h - 1 - y, &a);
      FreeImage_GetPixelColor(marked, x, h - 1 - y, &b);
      const int diff = std::max({std::abs(a.rgbRed - b.rgbRed), std::abs(a.rgbGreen - b.rgbGreen),
                                 std::abs(a.rgbBlue - b.rgbBlue)});
      if (diff > 40) ++(x >= x0 && y >= y0 ? n.inside : n.outside);
    }
  return n;
}

TEST_F(AwkwardNames, UnicodeWatermarkTextIsDrawn) {
  const std::string input = WriteTga(dir / "photo.tga", 400, 200);
  const std::string out = dir / "out";
  fs::create_directories(out);
  ASSERT_EQ(Run({"-i", input, "-o", out}).exitCode, 0);
  TestBitmap plain = LoadJpeg(out + "/photo.jpg");
  ASSERT_TRUE(plain);

  // The mark sits at the bottom right, 10 pixels in from both edges. Emoji may
  // have no font on the system: they must still not stop the conversion.
  const char* const texts[] = {"Café 猫の写真 🎉", "Ünïcödé résumé", "猫の写真", "写", "🎉🐱", "."};
  int dotChanged = 0;
  for (const char* text : texts) {
    SCOPED_TRACE(text);
    const RunResult r = Run({"-i", input, "-o", out, std::string("--wm-text=") + text});
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    TestBitmap marked = LoadJpeg(out + "/photo.jpg");
    ASSERT_TRUE(marked);
    ASSERT_EQ(FreeImage_GetWidth(marked.get()), 400u);
    ASSERT_EQ(FreeImage_GetHeight(marked.get()), 200u);
    const ChangedPixels n = CountChanged(plain.get(), marked.get(), 200, 100);
    EXPECT_EQ(n.outside, 0) << "the mark strayed from the bottom-right corner";
    if (std::string(text) == ".")
      dotChanged = n.inside;
    else
      EXPECT_GE(n.inside, 40) << "too little of the mark reached the image";
  }
  // Even a dot is drawn, and it is far smaller than any of the texts.
  EXPECT_GT(dotChanged, 0);
  EXPECT_LT(dotChanged, 40);
}

}  // namespace
