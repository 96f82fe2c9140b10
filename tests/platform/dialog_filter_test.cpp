#include <gtest/gtest.h>
#include "platform/dialogs.h"

TEST(Filter, SplitsDescriptionsAndPatterns) {
  auto f = scrivle::parseFilter("Textes Ti (*.9xt;*.92t;*.89t)|*.9xt;*.92t;*.89t|Textes (*.txt)| *.txt");
  ASSERT_EQ(f.size(), 2U);
  EXPECT_EQ(f[0].patterns.size(), 3U);
  EXPECT_EQ(f[1].patterns[0], "*.txt");
}
