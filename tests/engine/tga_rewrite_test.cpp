// Valid variants FreeImage decodes wrongly, rewritten before decoding: each small
// file must come out with exactly the colours it stores.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/tga_decode.h"
#include "engine/tga_rewrite.h"
#include "tga_test_util.h"

namespace {

using namespace tgatest;

constexpr uint8_t kTopDown = 0x20;

// 5-5-5 entries, stored little-endian, attribute bit on request.
Bytes Entry555(unsigned r, unsigned g, unsigned b, bool attribute = false) {
  return Le16((attribute ? 0x8000u : 0u) | r << 10 | g << 5 | b);
}

// A 2 x 2 colour-mapped image (stored bottom row first) over `map`.
Bytes MappedImage(uint8_t type, uint16_t first, uint16_t length, uint8_t bits, const Bytes& map,
                  const Bytes& pixels, uint8_t descriptor = 0) {
  return Cat({Pack({.colorMapType = 1, .imageType = type, .mapFirst = first, .mapLength = length,
                    .mapEntryBits = bits, .width = 2, .height = 2, .depth = 8,
                    .descriptor = descriptor}),
              map, pixels});
}

// A 2 x 2 grey-with-alpha image; stored pixels are grey then alpha.
Bytes GreyAlpha(uint8_t type, uint8_t descriptor, const Bytes& pixels) {
  return Cat({Pack({.imageType = type, .width = 2, .height = 2, .depth = 16, .descriptor = descriptor}),
              pixels});
}

const Rgba kRed{255, 0, 0, 255}, kGreen{0, 255, 0, 255}, kBlue{0, 0, 255, 255};
const Rgba kOdd{33, 66, 99, 255};  // 5-bit 4, 8, 12 widened to the nearest 8-bit values

struct Case {
  const char* name;
  Bytes bytes;
  TgaRewrite rewrite;
  int sourceDepth;
  std::vector<Rgba> pixels;  // top row first
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

const Bytes kMap24 = Cat({{0, 0, 255}, {0, 255, 0}, {255, 0, 0}});  // red, green, blue as BGR

// clang-format off
const Case kCases[] = {
    // Maps whose first entry index is not 0: FreeImage drops the entries past
    // the stored length.
    {"OffsetMapRaw", MappedImage(1, 2, 3, 24, kMap24, {2, 3, 4, 2}),
     TgaRewrite::kNormalizeColorMap, 8, {kBlue, kRed, kRed, kGreen}},
    {"OffsetMapRleTopDown", MappedImage(9, 2, 3, 24, kMap24, {0x81, 4, 0x01, 3, 2}, kTopDown),
     TgaRewrite::kNormalizeColorMap, 8, {kBlue, kBlue, kGreen, kRed}},
    {"OffsetMapReachingPastIndex255", MappedImage(1, 253, 6, 24, Cat({kMap24, kMap24}), {253, 254, 255, 253}),
     TgaRewrite::kNormalizeColorMap, 8, {kBlue, kRed, kRed, kGreen}},
    {"OffsetMapOf32BitEntriesKeepsAlpha",
     MappedImage(1, 1, 2, 32, {0, 0, 255, 128, 255, 0, 0, 255}, {1, 2, 2, 1}),
     TgaRewrite::kNormalizeColorMap, 8, {{0, 0, 255, 255}, {255, 0, 0, 128}, {255, 0, 0, 128}, {0, 0, 255, 255}}},

    // 15- and 16-bit entries: FreeImage ignores the first and widens the second
    // by truncation; the attribute bit is not colour.
    {"Map15Bit", MappedImage(1, 0, 3, 15, Cat({Entry555(31, 0, 0), Entry555(4, 8, 12), Entry555(0, 0, 31)}), {0, 1, 2, 1}),
     TgaRewrite::kNormalizeColorMap, 8, {kBlue, kOdd, kRed, kOdd}},
    {"Map15BitWithStrayTopBit", MappedImage(1, 0, 2, 15, Cat({Entry555(31, 0, 0, true), Entry555(4, 8, 12, true)}), {0, 1, 1, 0}),
     TgaRewrite::kNormalizeColorMap, 8, {kOdd, kRed, kRed, kOdd}},
    {"Map16BitWithAttributeBit", MappedImage(1, 0, 2, 16, Cat({Entry555(0, 31, 0, true), Entry555(4, 8, 12, false)}), {1, 0, 0, 1}, 1),
     TgaRewrite::kNormalizeColorMap, 8, {kGreen, kOdd, kOdd, kGreen}},
    {"Map16BitRleWithOffset", MappedImage(9, 5, 2, 16, Cat({Entry555(31, 0, 0), Entry555(4, 8, 12, true)}), {0x83, 6}),
     TgaRewrite::kNormalizeColorMap, 8, {kOdd, kOdd, kOdd, kOdd}},

    // A map the image type has no use for: FreeImage reads it as pixels or as a palette.
    {"UnusedMapBeforeTrueColour",
     Cat({Pack({.colorMapType = 1, .imageType = 2, .mapLength = 2, .mapEntryBits = 24, .width = 2, .height = 1, .depth = 24}),
          {1, 2, 3, 4, 5, 6}, {0x30, 0x20, 0x10, 0x60, 0x50, 0x40}}),
     TgaRewrite::kDropColorMap, 24, {{0x10, 0x20, 0x30, 255}, {0x40, 0x50, 0x60, 255}}},
    {"UnusedMapBeforeRleTrueColourWithAlpha",
     Cat({Pack({.colorMapType = 1, .imageType = 10, .mapLength = 1, .mapEntryBits = 15, .width = 2, .height = 1, .depth = 32, .descriptor = 8}),
          {7, 7}, {0x81, 0x30, 0x20, 0x10, 0x80}}),
     TgaRewrite::kDropColorMap, 32, {{0x10, 0x20, 0x30, 0x80}, {0x10, 0x20, 0x30, 0x80}}},
    {"UnusedMapBeforeGrey",
     Cat({Pack({.colorMapType = 1, .imageType = 3, .mapLength = 2, .mapEntryBits = 24, .width = 2, .height = 1, .depth = 8}),
          Bytes(kMap24.begin(), kMap24.begin() + 6), {0, 1}}),
     TgaRewrite::kDropColorMap, 8, {{0, 0, 0, 255}, {1, 1, 1, 255}}},

    // Grey with alpha, which FreeImage refuses.
    {"GreyAlphaRawBottomUp", GreyAlpha(3, 8, {10, 255, 20, 128, 30, 0, 40, 64}),
     TgaRewrite::kWidenGreyAlpha, 8, {{30, 30, 30, 0}, {40, 40, 40, 64}, {10, 10, 10, 255}, {20, 20, 20, 128}}},
    {"GreyAlphaRawTopDown", GreyAlpha(3, 8 | kTopDown, {10, 255, 20, 128, 30, 0, 40, 64}),
     TgaRewrite::kWidenGreyAlpha, 8, {{10, 10, 10, 255}, {20, 20, 20, 128}, {30, 30, 30, 0}, {40, 40, 40, 64}}},
    {"GreyAlphaRleBottomUp", GreyAlpha(11, 8, {0x82, 10, 255, 0x00, 40, 64}),
     TgaRewrite::kWidenGreyAlpha, 8, {{10, 10, 10, 255}, {40, 40, 40, 64}, {10, 10, 10, 255}, {10, 10, 10, 255}}},
    {"GreyAlphaRleTopDown", GreyAlpha(11, 8 | kTopDown, {0x00, 5, 6, 0x82, 70, 80}),
     TgaRewrite::kWidenGreyAlpha, 8, {{5, 5, 5, 6}, {70, 70, 70, 80}, {70, 70, 70, 80}, {70, 70, 70, 80}}},
};
// clang-format on

class TgaRewriteCase : public testing::TestWithParam<Case> {};

TEST_P(TgaRewriteCase, DecodesToTheStoredColours) {
  const Case& c = GetParam();
  ByteReader source = MemoryByteReader(c.bytes.data(), c.bytes.size());
  const TgaCheck check = ValidateTarga(source);
  ASSERT_TRUE(check.ok) << check.reason;
  EXPECT_EQ(check.rewrite, c.rewrite);

  // The rewritten file is one FreeImage takes as it is.
  const std::vector<uint8_t> bytes = RewriteTarga(source, check);
  ByteReader rewritten = MemoryByteReader(bytes.data(), bytes.size());
  const TgaCheck again = ValidateTarga(rewritten);
  ASSERT_TRUE(again.ok) << again.reason;
  EXPECT_EQ(again.rewrite, TgaRewrite::kNone);
  EXPECT_EQ(again.viewSize, bytes.size());

  const testing_support::TempDir dir;
  const DecodedImage decoded = DecodeTarga(WriteBytes(dir, c.bytes));
  ASSERT_TRUE(decoded.bitmap) << decoded.failure;
  EXPECT_EQ(decoded.sourceDepth, c.sourceDepth);
  EXPECT_EQ(Pixels(decoded.bitmap.get()), c.pixels);
}

INSTANTIATE_TEST_SUITE_P(Tga, TgaRewriteCase, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<Case>& info) { return info.param.name; });

}  // namespace
