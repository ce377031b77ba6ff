// Hand-made hostile and awkward TGA files: each is refused before FreeImage sees
// it, or decodes to exactly the pixels it holds.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/tga_decode.h"
#include "tga_test_util.h"

namespace {

using namespace tgatest;

constexpr uint8_t kTopDown = 0x20;

Bytes Grey2x1WithFooter(uint32_t extension, uint32_t developer) {
  return Cat({Pack({.imageType = 3, .width = 2, .height = 1, .depth = 8}), {10, 20},
              Footer(extension, developer)});
}

// A 2 x 1 grey image, an extension area whose postage stamp claims w x h pixels
// and holds `stored` bytes of them, then the footer.
Bytes Grey2x1WithStamp(uint8_t w, uint8_t h, size_t stored) {
  const Bytes image = Cat({Pack({.imageType = 3, .width = 2, .height = 1, .depth = 8}), {10, 20}});
  const uint32_t extension = static_cast<uint32_t>(image.size());
  const Bytes stamp = Cat({{w, h}, Bytes(stored, 7)});
  return Cat({image, ExtensionArea(extension + 495), stamp, Footer(extension, 0)});
}

struct Case {
  const char* name;
  Bytes bytes;
  const char* failure;        // part of the failure text; null when the file decodes
  std::vector<Rgba> pixels;   // when it decodes: every pixel, top row first
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

const Rgba kGrey10{10, 10, 10, 255}, kGrey20{20, 20, 20, 255};

// clang-format off
const Case kCases[] = {
    {"ShortFile", Bytes(10, 0), "10 bytes is too short for a TGA header", {}},
    {"ClaimOf20000SquareIn30Bytes",
     Cat({Pack({.imageType = 3, .width = 20000, .height = 20000, .depth = 8}), Bytes(12, 0)}),
     "pixel data truncated: 12 of 400000000 bytes present", {}},
    {"ClaimOf65535SquareRaw",
     Cat({Pack({.imageType = 2, .width = 65535, .height = 65535, .depth = 32}), Bytes(12, 0)}),
     "more than the decoding budget", {}},
    {"ClaimOf65535SquareRle",
     Cat({Pack({.imageType = 11, .width = 65535, .height = 65535, .depth = 8}), Repeat({0xff, 1}, 64)}),
     "more than the decoding budget", {}},
    {"RawDataTruncated",
     Cat({Pack({.imageType = 3, .width = 4, .height = 4, .depth = 8}), Bytes(10, 5)}),
     "pixel data truncated: 10 of 16 bytes present", {}},
    {"IdFieldPastEnd",
     Cat({Pack({.idLength = 200, .imageType = 3, .width = 2, .height = 2, .depth = 8}), Bytes(4, 5)}),
     "image ID runs past the end", {}},
    {"ColourMapPastEnd",
     Cat({Pack({.colorMapType = 1, .imageType = 1, .mapLength = 256, .mapEntryBits = 24,
                .width = 2, .height = 1, .depth = 8}), Bytes(10, 5)}),
     "colour map runs past the end", {}},
    {"RleCutShort",
     Cat({Pack({.imageType = 11, .width = 4, .height = 4, .depth = 8}), {0x83, 0x40, 0x02, 1, 2, 3}}),
     "RLE data ends after 7 of 16 pixels", {}},
    {"RleRunWithoutValue",
     Cat({Pack({.imageType = 10, .width = 4, .height = 1, .depth = 24}), {0x83, 1, 2}}),
     "RLE data ends after 0 of 4 pixels", {}},
    {"RlePacketPastLastPixel",
     Cat({Pack({.imageType = 11, .width = 1, .height = 1, .depth = 8}), {0x83, 0x7f}}),
     "RLE packet runs 3 pixels past the end of the image", {}},
    {"ColourIndexBeyondMapRaw",
     Cat({Pack({.colorMapType = 1, .imageType = 1, .mapLength = 2, .mapEntryBits = 24,
                .width = 2, .height = 1, .depth = 8}), {0, 0, 255, 0, 255, 0}, {0, 200}}),
     "colour-map index outside the colour map", {}},
    {"ColourIndexBeyondMapRle",
     Cat({Pack({.colorMapType = 1, .imageType = 9, .mapLength = 2, .mapEntryBits = 24,
                .width = 2, .height = 1, .depth = 8}), {0, 0, 255, 0, 255, 0}, {0x81, 2}}),
     "colour-map index outside the colour map", {}},
    {"ColourIndexBelowFirstEntry",
     Cat({Pack({.colorMapType = 1, .imageType = 1, .mapFirst = 4, .mapLength = 2, .mapEntryBits = 24,
                .width = 2, .height = 1, .depth = 8}), {0, 0, 255, 0, 255, 0}, {4, 3}}),
     "colour-map index outside the colour map", {}},
    {"ImageTypeWithoutImage", Cat({Pack({.imageType = 0, .width = 1, .height = 1, .depth = 8}), {0}}),
     "image type 0 holds no image", {}},
    {"UnknownImageType", Cat({Pack({.imageType = 4, .width = 1, .height = 1, .depth = 8}), {0}}),
     "unknown image type 4", {}},
    {"UnknownColourMapType",
     Cat({Pack({.colorMapType = 2, .imageType = 3, .width = 1, .height = 1, .depth = 8}), {0}}),
     "unknown colour-map type 2", {}},
    {"ZeroWidth", Cat({Pack({.imageType = 3, .width = 0, .height = 3, .depth = 8}), {0, 0, 0}}),
     "0 x 3 pixels is empty", {}},
    {"EightBitTrueColour", Cat({Pack({.imageType = 2, .width = 2, .height = 1, .depth = 8}), {1, 2}}),
     "pixel depth 8 not supported for image type 2", {}},
    {"ColourMappedWithoutMap", Cat({Pack({.imageType = 1, .width = 2, .height = 1, .depth = 8}), {1, 2}}),
     "colour-mapped image without a colour map", {}},
    {"ColourMapEntriesOfEightBits",
     Cat({Pack({.colorMapType = 1, .imageType = 1, .mapLength = 2, .mapEntryBits = 8,
                .width = 2, .height = 1, .depth = 8}), {9, 9}, {0, 1}}),
     "colour-map entry size 8 not supported", {}},

    // Footers FreeImage would follow outside the file are hidden, as for TGA 1.0.
    {"ExtensionOffsetPastEnd", Grey2x1WithFooter(100000, 0), nullptr, {kGrey10, kGrey20}},
    {"ExtensionAreaOverlapsFooter", Grey2x1WithFooter(21, 0), nullptr, {kGrey10, kGrey20}},
    {"DeveloperDirectoryPastEnd", Grey2x1WithFooter(0, 5000), nullptr, {kGrey10, kGrey20}},
    {"PostageStampLargerThanItsBytes", Grey2x1WithStamp(255, 255, 3), nullptr, {kGrey10, kGrey20}},
    {"PostageStampComplete", Grey2x1WithStamp(2, 2, 4), nullptr, {kGrey10, kGrey20}},

    // Valid files FreeImage's RLE reader needs help with.
    {"RleRunsAndRawPacketsCrossRows",
     Cat({Pack({.imageType = 11, .width = 3, .height = 2, .depth = 8}), {0x03, 1, 2, 3, 4, 0x81, 50}}),
     nullptr, {{4, 4, 4, 255}, {50, 50, 50, 255}, {50, 50, 50, 255},
               {1, 1, 1, 255}, {2, 2, 2, 255}, {3, 3, 3, 255}}},
    {"RleTallerThanItsData",  // 5 bytes of pixel data for 10 rows
     Cat({Pack({.imageType = 10, .width = 1, .height = 10, .depth = 32, .descriptor = 8}),
          {0x89, 30, 20, 10, 200}}),
     nullptr, std::vector<Rgba>(10, Rgba{10, 20, 30, 200})},
    {"RleFollowedByMegabytes",
     Cat({Pack({.imageType = 11, .width = 2, .height = 1, .depth = 8, .descriptor = kTopDown}),
          {0x81, 10}, Bytes(3 << 20, 0xee)}),
     nullptr, {kGrey10, kGrey10}},
};
// clang-format on

const Bytes& CaseBytes(const std::string& name) {
  for (const Case& c : kCases)
    if (name == c.name) return c.bytes;
  ADD_FAILURE() << "no case " << name;
  static const Bytes none;
  return none;
}

class TgaHostile : public testing::TestWithParam<Case> {};

TEST_P(TgaHostile, RefusedOrDecodedExactly) {
  const Case& c = GetParam();
  const testing_support::TempDir dir;
  const DecodedImage decoded = DecodeTarga(WriteBytes(dir, c.bytes));
  if (c.failure) {
    EXPECT_FALSE(decoded.bitmap);
    EXPECT_NE(decoded.failure.find(c.failure), std::string::npos) << decoded.failure;
    return;
  }
  ASSERT_TRUE(decoded.bitmap) << decoded.failure;
  EXPECT_EQ(Pixels(decoded.bitmap.get()), c.pixels);
}

INSTANTIATE_TEST_SUITE_P(Tga, TgaHostile, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<Case>& info) { return info.param.name; });

// What FreeImage is shown: the file itself when it is sound, the file without its
// footer when the footer points outside, zero padding when the RLE reader would
// read outside its cache, and only the pixel data when the rest is huge.
TEST(TgaView, PlannedForWhatFreeImageReads) {
  struct Plan {
    Bytes bytes;
    bool footerValid;
    bool padded;
    bool cutAtDataEnd;
  };
  const Plan plans[] = {
      {Grey2x1WithStamp(2, 2, 4), true, false, false},
      {Grey2x1WithFooter(100000, 0), false, true, false},
      {Grey2x1WithStamp(255, 255, 3), false, true, false},
      {CaseBytes("RleTallerThanItsData"), false, true, false},
      {CaseBytes("RleFollowedByMegabytes"), false, true, true},
  };
  for (const Plan& p : plans) {
    ByteReader reader = MemoryByteReader(p.bytes.data(), p.bytes.size());
    const TgaCheck check = ValidateTarga(reader);
    ASSERT_TRUE(check.ok) << check.reason;
    EXPECT_EQ(check.footerValid, p.footerValid);
    EXPECT_EQ(check.viewEnd, p.cutAtDataEnd ? check.dataEnd : check.fileSize);
    // Padding is at least a signature long, so that no footer can be read in it.
    if (p.padded) EXPECT_GE(check.viewSize, check.viewEnd + 18);
    else EXPECT_EQ(check.viewSize, check.viewEnd);
  }
}

// Cutting a file anywhere before the end of its pixel data makes it fail; cutting
// it after gives the same bitmap (the footer, cut, is no longer taken for one).
TEST(TgaTruncation, FailsExactlyWhenPixelDataIsCut) {
  for (const char* name : {"common/200x32_p_bl_rle.tga", "conformance/cbw8.tga", "conformance/utc16.tga"}) {
    SCOPED_TRACE(name);
    FILE* f = std::fopen(SharedTga(name).c_str(), "rb");
    ASSERT_TRUE(f);
    Bytes bytes;
    for (int ch; (ch = std::fgetc(f)) != EOF;) bytes.push_back(static_cast<uint8_t>(ch));
    std::fclose(f);

    ByteReader whole = MemoryByteReader(bytes.data(), bytes.size());
    const TgaCheck check = ValidateTarga(whole);
    ASSERT_TRUE(check.ok);
    const DecodedImage full = DecodeTargaFrom(whole);
    ASSERT_TRUE(full.bitmap);
    for (size_t length = 0; length < bytes.size(); ++length) {
      ByteReader cut = MemoryByteReader(bytes.data(), length);
      const DecodedImage decoded = DecodeTargaFrom(cut);
      if (length < check.dataEnd) {
        ASSERT_FALSE(decoded.bitmap) << "cut at " << length;
      } else {
        ASSERT_TRUE(SameBitmap(decoded.bitmap.get(), full.bitmap.get())) << "cut at " << length;
      }
    }
  }
}

}  // namespace
