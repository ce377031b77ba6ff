#include <gtest/gtest.h>

#include "app/messages.h"
#include "app/product.h"

TEST(FormatMessageText, FillsPlaceholdersInOrder) {
  EXPECT_EQ(FormatMessageText("Unable to open the file: %s1%!", ""), "Unable to open the file: %s1%!");
  EXPECT_EQ(FormatMessageText("Unable to open the file: %s1%!", "a.tga"), "Unable to open the file: a.tga!");
  EXPECT_EQ(FormatMessageText("%S1% of %s2%, %s1%", "1", "2"), "1 of 2, 1");
  // A placeholder brought in by an earlier argument is filled by a later step.
  EXPECT_EQ(FormatMessageText("%s1%", "<%s2%>", "x"), "<x>");
  EXPECT_EQ(FormatMessageText("%s2%", "%s1%"), "%s2%");
  EXPECT_EQ(FormatMessageText("", "x"), "");
}

TEST(VersionText, InsertsPointsAndDropsATrailingZero) {
  EXPECT_EQ(VersionText(280), "2.8");
  EXPECT_EQ(VersionText(281), "2.8.1");
  EXPECT_EQ(VersionText(300), "3.0");
  EXPECT_EQ(VersionText(305), "3.0.5");
  EXPECT_EQ(TitleText(), "Varnello TGA to JPG 2.8");
}
