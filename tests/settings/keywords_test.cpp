#include <gtest/gtest.h>

#include "settings/keywords.h"

TEST(Keywords, ParseIgnoresCaseButNotBlanks) {
  struct Case {
    int family;
    const char* text;
    int code;
  } const cases[] = {
      {12, "lanczos", 5}, {12, "Lanczos", 5}, {12, "lanczos3", 0}, {19, "bottom right", 0}, {19, "BottomRight", 8},
      {1, "48hs", 4},     {1, "48", 5},       {1, "32", 0},        {4, "ZLIB9", 3},        {4, "pxr24", 3},
      {13, "solid", 0},   {14, "text", 0},    {16, "STRIKETHROUGHT", 2}, {16, "strikethrough", 0}, {99, "x", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseKeyword(c.family, c.text), c.code) << c.family << " " << c.text;
}

TEST(Keywords, TextIsTheFirstWordOfTheCode) {
  EXPECT_EQ(KeywordText(19, 8), "bottomright");
  EXPECT_EQ(KeywordText(19, 9), "");
  EXPECT_EQ(KeywordText(20, 0), "fixed");
  EXPECT_EQ(KeywordText(20, 1), "");
  EXPECT_EQ(KeywordText(13, 1), "solid");
  EXPECT_EQ(KeywordText(14, 2), "image");
  const char* compression[] = {"none", "rle", "piz", "pxr24", "b44", "adobedeflate", "lzw", "jpeg", "logluv"};
  for (int code = 0; code < 9; ++code) EXPECT_EQ(KeywordText(4, code), compression[code]);
  EXPECT_EQ(KeywordText(-1, 0), "");
}
