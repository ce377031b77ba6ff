#include <filesystem>
#include <fstream>

#include "engine/stages.h"
#include "overlay/overlay.h"
#include "overlay_fixture.h"

using namespace overlay_test;

namespace {

ConversionSettings PictureSettings(const std::string& path, int opacity) {
  ConversionSettings s = Defaults();
  s.doWatermark = 2;
  s.image = path;
  s.imageOpacity = opacity;
  s.imagePosition = 0, s.imageXOffset = 0, s.imageYOffset = 0;
  return s;
}

std::string Save(const Bitmap& b, FREE_IMAGE_FORMAT fif, const std::string& path) {
  EXPECT_TRUE(FreeImage_Save(fif, b.get(), path.c_str(), fif == FIF_JPEG ? 100 : 0));
  return path;
}

}  // namespace

TEST(PictureOverlay, GreyFilterWeightsAndOpacity) {
  TempDir dir;
  Bitmap pic = Solid(4, 1, {});
  const Rgba colours[] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
  for (int x = 0; x < 4; ++x) Put(pic.get(), x, 0, colours[x]);
  const std::string path = Save(pic, FIF_PNG, dir / "rgbw.png");

  ConversionSettings s = PictureSettings(path, 255);
  s.imageGreyscale = 1;
  Bitmap grey = RenderImageOverlay(s);
  ASSERT_TRUE(grey);
  const int expected[] = {76, 149, 28, 255};
  for (int x = 0; x < 4; ++x) EXPECT_EQ(At(grey.get(), x, 0), (Rgba{expected[x], expected[x], expected[x], 255}));

  // A picture without alpha takes the opacity as its alpha, colours untouched.
  s.imageGreyscale = 0, s.imageOpacity = 128;
  Bitmap coloured = RenderImageOverlay(s);
  for (int x = 0; x < 4; ++x) {
    Rgba c = colours[x];
    c.a = 128;
    EXPECT_EQ(At(coloured.get(), x, 0), c);
  }
}

TEST(PictureOverlay, AlphaOfThePictureScalesWithOpacity) {
  TempDir dir;
  Bitmap pic = Solid(3, 1, {}, 32);
  Put(pic.get(), 0, 0, {200, 100, 50, 0});
  Put(pic.get(), 1, 0, {200, 100, 50, 100});
  Put(pic.get(), 2, 0, {200, 100, 50, 255});
  const std::string path = Save(pic, FIF_PNG, dir / "alpha.png");
  for (int opacity : {255, 128, 0}) {
    Bitmap o = RenderImageOverlay(PictureSettings(path, opacity));
    ASSERT_TRUE(o);
    EXPECT_EQ(At(o.get(), 0, 0).a, 0);
    EXPECT_EQ(At(o.get(), 1, 0).a, 100 * opacity / 255);
    EXPECT_EQ(At(o.get(), 2, 0).a, opacity);
  }

  // Palette transparency counts as alpha; a 32-bit BMP whose fourth byte is
  // unused throughout is opaque.
  Bitmap indexed(FreeImage_Allocate(2, 1, 8));
  RGBQUAD* pal = FreeImage_GetPalette(indexed.get());
  pal[0] = {0, 0, 0, 0}, pal[1] = {0, 0, 255, 0};
  FreeImage_GetScanLine(indexed.get(), 0)[0] = 0;
  FreeImage_GetScanLine(indexed.get(), 0)[1] = 1;
  BYTE table[2] = {0, 255};
  FreeImage_SetTransparencyTable(indexed.get(), table, 2);
  Bitmap o = RenderImageOverlay(PictureSettings(Save(indexed, FIF_PNG, dir / "indexed.png"), 255));
  ASSERT_TRUE(o);
  EXPECT_EQ(At(o.get(), 0, 0).a, 0);
  EXPECT_EQ(At(o.get(), 1, 0), (Rgba{255, 0, 0, 255}));

  o = RenderImageOverlay(PictureSettings(Save(Solid(2, 2, {9, 8, 7, 0}, 32), FIF_BMP, dir / "x.bmp"), 200));
  ASSERT_TRUE(o);
  EXPECT_EQ(At(o.get(), 1, 1), (Rgba{9, 8, 7, 200}));
}

TEST(PictureWatermark, OpacityOverTheImage) {
  TempDir dir;
  const std::string white = Save(Solid(6, 6, {255, 255, 255}), FIF_JPEG, dir / "white.jpg");
  struct Case {
    int opacity;
    int value;  // what a black image shows under the picture
  } cases[] = {
      // The paste at blend factor 255 scales colour and alpha by 255/256
      // before the composite: 254 at alpha 254 over 0.
      {255, 252},
      {128, 126},
      {0, 0},
  };
  for (const Case& c : cases) {
    ConversionSettings s = PictureSettings(white, c.opacity);
    Bitmap out = ApplyWatermark(Solid(20, 20, {0, 0, 0}), 20, 20, s, ConversionRun{});
    ASSERT_TRUE(out);
    EXPECT_EQ(At(out.get(), 3, 3), (Rgba{c.value, c.value, c.value})) << c.opacity;
    EXPECT_EQ(At(out.get(), 6, 6), (Rgba{0, 0, 0}));
  }
}

TEST(PictureWatermark, UnreadablePicturesLeaveTheImageUnmarked) {
  TempDir dir;
  std::ofstream(dir / "text.png") << "not a picture";
  Bitmap tga = Solid(4, 4, {255, 255, 255});
  FreeImage_Save(FIF_TARGA, tga.get(), (dir / "logo.tga").c_str(), 0);
  const std::string gone = Save(Solid(4, 4, {255, 255, 255}), FIF_PNG, dir / "gone.png");
  std::filesystem::remove(gone);
  for (const std::string& path : {dir / "text.png", dir / "logo.tga", gone, std::string()}) {
    Bitmap image = Noise(16, 16, 4);
    Bitmap out = ApplyWatermark(Clone(image.get()), 16, 16, PictureSettings(path, 255), ConversionRun{});
    ASSERT_TRUE(out) << path;
    EXPECT_EQ(CountDifferences(out.get(), image.get()), 0) << path;
  }
}
