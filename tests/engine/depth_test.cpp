#include <gtest/gtest.h>

#include "engine/depth.h"
#include "engine/formats.h"
#include "engine/stages.h"
#include "support/support.h"

using testing_support::MakeGradient;

TEST(Formats, RegistryLookups) {
  EXPECT_TRUE(IsDepthAllowed("jpg", 0));
  EXPECT_TRUE(IsDepthAllowed("jpg", 8));
  EXPECT_TRUE(IsDepthAllowed("jpg", 24));
  EXPECT_FALSE(IsDepthAllowed("jpg", 16));
  EXPECT_FALSE(IsDepthAllowed("jpg", 32));
  EXPECT_TRUE(IsOutputExtension("jpg"));
  EXPECT_FALSE(IsOutputExtension("JPG"));
  EXPECT_FALSE(IsOutputExtension("jpeg"));
  EXPECT_EQ(AcceptedInputExtensions(), (std::vector<std::string>{"tga", "targa"}));
  EXPECT_EQ(InputFormats().size(), 79u);
  EXPECT_EQ(OutputFormats().size(), 20u);
  EXPECT_EQ(FindOutputFormat("dds"), nullptr);
  EXPECT_EQ(FindOutputFormat("jpg")->formatId, FIF_JPEG);
  EXPECT_STREQ(FindInputFormat("cr2")->description, "Canon Camera RAW Image");
}

TEST(OutputDepth, AutomaticChoiceFollowsTheFormatsDepths) {
  EXPECT_EQ(ChooseAutoDepth("jpg", 1), 8);
  EXPECT_EQ(ChooseAutoDepth("jpg", 8), 8);
  EXPECT_EQ(ChooseAutoDepth("jpg", 16), 24);
  EXPECT_EQ(ChooseAutoDepth("jpg", 32), 24);
  EXPECT_EQ(ChooseAutoDepth("png", 16), 24);
  EXPECT_EQ(ChooseAutoDepth("png", 64), 48);
}

TEST(OutputDepth, SaveFlags) {
  ConversionSettings s{};
  s.jpgQuality = 90, s.jpgChroma = 2, s.jpgSaveAs = 3;
  EXPECT_EQ(SaveFlagsFor("jpg", s), 0x605A);
  s.jpgQuality = 100, s.jpgChroma = 0, s.jpgSaveAs = 0;
  EXPECT_EQ(SaveFlagsFor("jpg", s), 0x10064);
  s.jpgChroma = 7, s.jpgSaveAs = 1;
  EXPECT_EQ(SaveFlagsFor("jpg", s), 100 | 0x40000);
}

TEST(OutputDepth, Conversions) {
  struct Case {
    int sourceBpp;
    int target;
    bool automatic;
    unsigned expectedBpp;  // 0: no bitmap handed back
    FREE_IMAGE_COLOR_TYPE colour;
  } const cases[] = {
      {32, 0, true, 24, FIC_RGB},   {8, 0, true, 8, FIC_MINISBLACK}, {24, 8, false, 8, FIC_MINISBLACK},
      {24, 24, false, 24, FIC_RGB}, {24, 7, false, 0, FIC_RGB},
  };
  for (const Case& c : cases) {
    ConversionRun run;
    run.outputExtension = "jpg";
    run.autoDepth = c.automatic;
    run.targetDepth = c.target;
    run.sourceDepth = c.sourceBpp;
    Bitmap b(MakeGradient(8, 4, c.sourceBpp).release());
    FIBITMAP* original = b.get();
    Bitmap out = ConvertOutputDepth(std::move(b), run);
    if (c.expectedBpp == 0) {
      EXPECT_FALSE(out);
      continue;
    }
    ASSERT_TRUE(out);
    EXPECT_EQ(FreeImage_GetBPP(out.get()), c.expectedBpp);
    EXPECT_EQ(FreeImage_GetColorType(out.get()), c.colour);
    if (c.sourceBpp == static_cast<int>(c.expectedBpp)) {
      EXPECT_EQ(out.get(), original);  // untouched
    }
  }
  // An 8-bit source rotated to 24 bits still goes back to 8: the choice follows the file.
  ConversionRun run;
  run.outputExtension = "jpg", run.autoDepth = true, run.sourceDepth = 8;
  Bitmap out = ConvertOutputDepth(Bitmap(MakeGradient(8, 4, 24).release()), run);
  EXPECT_EQ(run.targetDepth, 8);
  EXPECT_EQ(FreeImage_GetBPP(out.get()), 8u);
  EXPECT_FALSE(ConvertOutputDepth(nullptr, run));
}
