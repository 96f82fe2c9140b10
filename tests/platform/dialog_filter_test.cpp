// The filter string of the open and save dialogs: "Description|patterns|..." pairs, the
// patterns split at ';' with the spaces around each dropped.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/dialogs.h"

using Patterns = std::vector<std::string>;

TEST(DialogFilter, SplitsDescriptionsAndPatterns) {
  const auto f =
      scrivle::parseFilter("Textes Ti (*.9xt;*.92t;*.89t)|*.9xt;*.92t;*.89t|Textes (*.txt)| *.txt");
  ASSERT_EQ(f.size(), 2U);
  EXPECT_EQ(f[0].description, "Textes Ti (*.9xt;*.92t;*.89t)");
  EXPECT_EQ(f[0].patterns, (Patterns{"*.9xt", "*.92t", "*.89t"}));
  EXPECT_EQ(f[1].description, "Textes (*.txt)");
  EXPECT_EQ(f[1].patterns, Patterns{"*.txt"});
}

TEST(DialogFilter, DescriptionWithoutPatternsAndEmptyPatternsAreDropped) {
  const auto f = scrivle::parseFilter("Tous (*.*)| *.* ;; |Reste");
  ASSERT_EQ(f.size(), 1U);
  EXPECT_EQ(f[0].description, "Tous (*.*)");
  EXPECT_EQ(f[0].patterns, Patterns{"*.*"});
}
