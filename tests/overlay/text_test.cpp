#include <thread>

#include "engine/stages.h"
#include "overlay/overlay.h"
#include "overlay_fixture.h"

using namespace overlay_test;

namespace {

ConversionSettings TextSettings(const std::string& text) {
  ConversionSettings s = Defaults();
  s.doWatermark = 1;
  s.text = text;
  s.font = "Arial";
  s.fontSize = 14;
  s.fontColor = "FFFFFF";
  s.textOpacity = 255;
  s.backOpacity = 0;
  return s;
}

// Renders the block with a font made from the same settings.
Bitmap Render(const ConversionSettings& s) {
  WatermarkFontPtr font = LoadWatermarkFont(s);
  EXPECT_TRUE(font);
  ConversionRun run;
  run.watermarkFont = font.get();
  return RenderTextOverlay(s, run);
}

int Width(FIBITMAP* b) { return int(FreeImage_GetWidth(b)); }
int Height(FIBITMAP* b) { return int(FreeImage_GetHeight(b)); }

// Leftmost and rightmost columns with any alpha in rows [y0, y1).
std::pair<int, int> InkColumns(FIBITMAP* b, int y0, int y1) {
  int lo = INT32_MAX, hi = -1;
  for (int y = y0; y < y1; ++y)
    for (int x = 0; x < Width(b); ++x)
      if (At(b, x, y).a > 0) lo = std::min(lo, x), hi = std::max(hi, x);
  return {lo, hi};
}

}  // namespace

TEST(WatermarkFont, ResolvesNamesThroughFontconfig) {
  struct Case {
    const char* name;
    int size, style;
    const char* family;  // nullptr: any substitute will do
    const char* traits;
  } cases[] = {
      {"Arial", 14, 0, "Liberation Sans", "19px"},  // 14 pt at 96 dpi is 18.67 px
      {"Arial", 9, 3, "Liberation Sans", "Bold Italic 12px"},
      {"Times New Roman", 12, 1, "Liberation Serif", "Bold 16px"},
      {"Courier New", 11, 2, "Liberation Mono", "Italic 15px"},
      {"No Such Face At All", 14, 0, nullptr, "19px"},
      {"", 14, 0, nullptr, "19px"},
  };
  for (const Case& c : cases) {
    ConversionSettings s = Defaults();
    s.font = c.name, s.fontSize = c.size, s.fontStyle = static_cast<int8_t>(c.style);
    WatermarkFontPtr font = LoadWatermarkFont(s);
    ASSERT_TRUE(font) << c.name;
    const std::string d = DescribeWatermarkFont(*font);
    if (c.family) {
      EXPECT_EQ(d.rfind(c.family, 0), 0u) << d;
    }
    EXPECT_NE(d.find(c.traits), std::string::npos) << d;
  }
}

TEST(TextBlock, SizeFollowsMeasuredLinesLeadingAndPadding) {
  ConversionSettings s = TextSettings("");
  WatermarkFontPtr font = LoadWatermarkFont(s);
  ASSERT_TRUE(font);
  const TextExtent abc = MeasureTextLine(*font, "Abc"), defg = MeasureTextLine(*font, "Defg"),
                   hi = MeasureTextLine(*font, "Hi"), i = MeasureTextLine(*font, "i");
  const int h = abc.height;  // one font: every line is as high
  ASSERT_GT(h, 10);
  ASSERT_LT(i.width, 10);
  const int wide = std::max({abc.width, defg.width, hi.width});

  struct Case {
    const char* text;
    int leading, padding, width, height;
  } cases[] = {
      {"Abc%eol%Defg%eol%Hi", 4, 3, wide + 6, h + 2 * (h + 4) + 6},
      {"Abc%eol%Defg%eol%Hi", -4, 3, wide + 6, h + 2 * (h - 4) + 6},
      {"Abc%EOL%Defg%Eol%Hi", 0, 0, wide, h + 2 * h},
      {"Abc%eol%", 2, 1, abc.width + 2, h + (h + 2) + 2},  // an empty last line still adds a step
      {"i", 0, 4, i.width + 8, i.height + 8},                // one line: no minimum width
      {"i%eol%i", 0, 4, 10 + 8, h + h + 8},                  // several lines: at least 10 wide
  };
  for (const Case& c : cases) {
    s.text = c.text, s.fontLeading = c.leading, s.textPadding = c.padding;
    ConversionRun run;
    run.watermarkFont = font.get();
    Bitmap block = RenderTextOverlay(s, run);
    ASSERT_TRUE(block) << c.text;
    EXPECT_EQ(Width(block.get()), c.width) << c.text << " leading " << c.leading;
    EXPECT_EQ(Height(block.get()), c.height) << c.text << " leading " << c.leading;
  }
}

TEST(TextBlock, AlignmentPlacesEachLineWithinThePadding) {
  const int P = 5;
  for (int alignment : {0, 1, 2}) {
    for (int antialiasing : {0, 1}) {
      ConversionSettings s = TextSettings("WWWWWW%eol%W%eol%W");
      s.textPadding = P, s.textAlignment = static_cast<int8_t>(alignment),
      s.textAntialiasing = static_cast<int8_t>(antialiasing), s.fontLeading = 3;
      Bitmap block = Render(s);
      ASSERT_TRUE(block);
      const int cw = Width(block.get());
      // Three lines of height h, two of them a leading of 3 below the one before.
      const int h = (Height(block.get()) - 2 * P - 2 * 3) / 3;
      const int step = h + 3;
      const auto [wideLo, wideHi] = InkColumns(block.get(), P, P + h);
      EXPECT_NEAR(wideLo, P, 2);
      EXPECT_NEAR(wideHi, cw - P - 1, 2);
      for (int line : {1, 2}) {
        const auto [lo, hi] = InkColumns(block.get(), P + line * step, P + line * step + h);
        ASSERT_GE(hi, 0) << "line " << line << " has no ink";
        SCOPED_TRACE(testing::Message() << "alignment " << alignment << " antialiasing " << antialiasing);
        // Left edge, middle or right edge of the ink, against where it belongs.
        const double ink = alignment == 0 ? lo : alignment == 1 ? (lo + hi + 1) / 2.0 : hi + 1;
        const double want = alignment == 0 ? P : alignment == 1 ? cw / 2.0 : cw - P;
        EXPECT_NEAR(ink, want, 2);
      }
    }
  }
}

TEST(TextBlock, RasterTextReplacesChannelsAndVectorTextBlends) {
  ConversionSettings s = TextSettings("Sample 123");
  s.fontColor = "FF0000", s.textOpacity = 200, s.backColor = "0000FF", s.backOpacity = 60;
  Bitmap raster = Render(s);
  ASSERT_TRUE(raster);
  const Rgba text{255, 0, 0, 200}, back{0, 0, 255, 60};
  int texts = 0, backs = 0;
  for (int y = 0; y < Height(raster.get()); ++y)
    for (int x = 0; x < Width(raster.get()); ++x) {
      const Rgba p = At(raster.get(), x, y);
      ASSERT_TRUE(p == text || p == back) << x << "," << y << " " << p;
      (p == text ? texts : backs)++;
    }
  EXPECT_GT(texts, 20);
  EXPECT_GT(backs, texts);

  // Opaque glyphs on a clear ground in both modes; only vector text has
  // partly covered edge pixels.
  s.textOpacity = 255, s.backOpacity = 0;
  for (int antialiasing : {0, 1}) {
    s.textAntialiasing = static_cast<int8_t>(antialiasing);
    Bitmap block = Render(s);
    int opaque = 0, clear = 0, partial = 0;
    for (int y = 0; y < Height(block.get()); ++y)
      for (int x = 0; x < Width(block.get()); ++x) {
        const int a = At(block.get(), x, y).a;
        (a == 255 ? opaque : a == 0 ? clear : partial)++;
      }
    EXPECT_GT(opaque, 20) << antialiasing;
    EXPECT_GT(clear, opaque) << antialiasing;
    if (antialiasing)
      EXPECT_GT(partial, 20);
    else
      EXPECT_EQ(partial, 0);
  }
}

TEST(TextBlock, UnderlineAndStrikeOutDrawRules) {
  // Rows whose ink runs unbroken over most of the line.
  auto ruledRows = [](FIBITMAP* b) {
    std::vector<int> rows;
    for (int y = 0; y < Height(b); ++y) {
      int run = 0, best = 0;
      for (int x = 0; x < Width(b); ++x) run = At(b, x, y).a ? run + 1 : 0, best = std::max(best, run);
      if (best > Width(b) * 9 / 10) rows.push_back(y);
    }
    return rows;
  };
  ConversionSettings s = TextSettings("MMMMMM");
  EXPECT_TRUE(ruledRows(Render(s).get()).empty());
  s.fontEffect = 1;
  Bitmap under = Render(s);
  const std::vector<int> u = ruledRows(under.get());
  ASSERT_FALSE(u.empty());
  EXPECT_GT(u.front(), Height(under.get()) * 7 / 10);
  s.fontEffect = 2;
  Bitmap strike = Render(s);
  const std::vector<int> k = ruledRows(strike.get());
  ASSERT_FALSE(k.empty());
  EXPECT_GT(k.front(), Height(strike.get()) * 3 / 10);
  EXPECT_LT(k.back(), Height(strike.get()) * 7 / 10);
}

TEST(TextBlock, FontMadeOnOneThreadDrawsOnAnother) {
  ConversionSettings s = TextSettings("Thread %eol%safe");
  s.textAntialiasing = 1;
  WatermarkFontPtr font = LoadWatermarkFont(s);
  ASSERT_TRUE(font);
  ConversionRun run;
  run.watermarkFont = font.get();
  Bitmap here = RenderTextOverlay(s, run);
  Bitmap there;
  std::thread worker([&] { there = RenderTextOverlay(s, run); });
  worker.join();
  ASSERT_TRUE(here);
  ASSERT_TRUE(there);
  EXPECT_EQ(CountDifferences(here.get(), there.get()), 0);
}

TEST(TextWatermark, MarksTheImageAtItsPlace) {
  ConversionSettings s = TextSettings("Hello");
  s.textPosition = 8, s.textXOffset = 10, s.textYOffset = 10, s.textPadding = 2, s.backOpacity = 255;
  WatermarkFontPtr font = LoadWatermarkFont(s);
  ConversionRun run;
  run.watermarkFont = font.get();
  Bitmap block = RenderTextOverlay(s, run);
  const int bw = Width(block.get()), bh = Height(block.get());

  Bitmap out = ApplyWatermark(Solid(120, 90, {0, 0, 255}, 32), 120, 90, s, run);
  ASSERT_TRUE(out);
  EXPECT_EQ(FreeImage_GetBPP(out.get()), 24u);
  // The black background of the block covers its corners, 10 pixels in.
  EXPECT_EQ(At(out.get(), 120 - 10 - 1, 90 - 10 - 1), (Rgba{0, 0, 0}));
  EXPECT_EQ(At(out.get(), 120 - 10 - bw, 90 - 10 - bh), (Rgba{0, 0, 0}));
  EXPECT_EQ(At(out.get(), 120 - 10, 90 - 10), (Rgba{0, 0, 255}));
  EXPECT_EQ(At(out.get(), 120 - 11 - bw, 90 - 10 - bh), (Rgba{0, 0, 255}));
}

TEST(TextWatermark, OpenCasesLeaveTheImageUnmarked) {
  struct Case {
    const char* name;
    void (*adjust)(ConversionSettings&);
  } cases[] = {
      {"huge font", [](ConversionSettings& s) { s.fontSize = INT32_MAX; }},
      {"huge padding", [](ConversionSettings& s) { s.textPadding = INT32_MAX; }},
      {"padding eats the block", [](ConversionSettings& s) { s.textPadding = -1000; }},
      {"leading eats the block", [](ConversionSettings& s) { s.text = "a%eol%b", s.fontLeading = INT32_MIN; }},
      {"offset past the image", [](ConversionSettings& s) { s.textXOffset = INT32_MAX; }},
      {"negative offset", [](ConversionSettings& s) { s.textPosition = 0, s.textXOffset = INT32_MIN; }},
      {"invalid UTF-8 only", [](ConversionSettings& s) { s.text = "\xff\xfe", s.textXOffset = 500; }},
  };
  for (const Case& c : cases) {
    ConversionSettings s = TextSettings("Mark");
    c.adjust(s);
    WatermarkFontPtr font = LoadWatermarkFont(s);
    ASSERT_TRUE(font) << c.name;
    ConversionRun run;
    run.watermarkFont = font.get();
    Bitmap image = Noise(60, 40, 9);
    Bitmap out = ApplyWatermark(Clone(image.get()), 60, 40, s, run);
    ASSERT_TRUE(out) << c.name;
    EXPECT_EQ(CountDifferences(out.get(), image.get()), 0) << c.name;
  }
}

TEST(TextWatermark, WithoutAFontOrWatermarkNothingIsDrawn) {
  ConversionSettings s = TextSettings("Mark");
  ConversionRun run;  // no font
  Bitmap out = ApplyWatermark(Solid(20, 20, {9, 9, 9, 9}, 32), 20, 20, s, run);
  EXPECT_EQ(FreeImage_GetBPP(out.get()), 24u);
  EXPECT_EQ(At(out.get(), 15, 15), (Rgba{9, 9, 9}));

  s.doWatermark = 0;
  Bitmap in = Solid(20, 20, {9, 9, 9, 9}, 32);
  FIBITMAP* raw = in.get();
  EXPECT_EQ(ApplyWatermark(std::move(in), 20, 20, s, run).get(), raw);
}
