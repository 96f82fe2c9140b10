#include "app/recent.h"

#include <gtest/gtest.h>

#include "registry/registry_file.h"
#include "settings/persistence.h"
#include "support/temp_registry.h"

using namespace scrivle;

namespace {

std::array<std::string, kMruCount> list(std::initializer_list<const char*> entries) {
  std::array<std::string, kMruCount> mru;
  std::size_t i = 0;
  for (const char* e : entries) {
    mru[i++] = e;
  }
  return mru;
}

}  // namespace

TEST(Recent, PutAtHead) {
  struct Case {
    std::array<std::string, kMruCount> before;
    const char* path;
    std::array<std::string, kMruCount> after;
  };
  const std::vector<Case> cases = {
      // Entry 3 reopened: 1 and 2 move down, 4-9 stay.
      {list({"1", "2", "3", "4", "5", "6", "7", "8", "9"}), "3",
       list({"3", "1", "2", "4", "5", "6", "7", "8", "9"})},
      // A tenth file drops entry 9.
      {list({"1", "2", "3", "4", "5", "6", "7", "8", "9"}), "10",
       list({"10", "1", "2", "3", "4", "5", "6", "7", "8"})},
      // Letter case makes another entry.
      {list({"/a/B.89t", "x"}), "/a/b.89t", list({"/a/b.89t", "/a/B.89t", "x"})},
      {list({"a", "b"}), "a", list({"a", "b"})},
      // The start-up call with an empty entry 1 changes nothing.
      {list({}), "", list({})},
      {list({"a", "", "b"}), "b", list({"b", "a", ""})},
  };
  for (Case c : cases) {
    putAtHead(c.before, c.path);
    EXPECT_EQ(c.before, c.after) << c.path;
  }
}

TEST(Recent, ItemsFollowNbAndEmptiness) {
  TParametre s = defaultSettings("/tmp");
  s.mru = list({"/a", "/b", "", "/d", "/e", "/f", "/g", "/h", "/i"});
  s.Nb = 4;
  const auto items = recentItems(s);
  EXPECT_EQ(items[0].caption, "&1 /a");
  EXPECT_EQ(items[2].caption, "&3 ");
  EXPECT_EQ(items[8].caption, "&9 /i");
  const bool visible[] = {true, true, false, true, false, false, false, false, false};
  for (int k = 0; k < kMruCount; ++k) {
    EXPECT_EQ(items[static_cast<std::size_t>(k)].visible, visible[k]) << k + 1;
  }
  EXPECT_EQ(recentPath(items[1].caption), "/b");
  EXPECT_EQ(recentPath("&3 "), "");
  EXPECT_EQ(recentPath("&"), "");
}

TEST(Recent, EveryCallRewritesTheNineValues) {
  test::TempRegistry temp;
  FileRegistry reg(temp.file());
  TParametre s = defaultSettings("/tmp");
  s.mru = list({"/a", "/b"});
  inserRecent(s, "/b", reg);
  EXPECT_EQ(s.mru, list({"/b", "/a"}));
  ASSERT_TRUE(reg.deleteValue(RegRoot::CurrentUser, kRecentsKey, "mru5"));
  reg.write(RegRoot::CurrentUser, kRecentsKey, "mru2", RegValue::ofString("stale"));
  inserRecent(s, s.mru[0], reg);  // order unchanged, values written all the same
  for (int k = 1; k <= kMruCount; ++k) {
    EXPECT_EQ(reg.read(RegRoot::CurrentUser, kRecentsKey, "mru" + std::to_string(k)),
              RegValue::ofString(s.mru[static_cast<std::size_t>(k - 1)]))
        << k;
  }
}
