#include <gtest/gtest.h>

#include "settings/keywords.h"

TEST(Keywords, Placeholder) { EXPECT_EQ(ParseKeyword(12, "lanczos"), 5); }
