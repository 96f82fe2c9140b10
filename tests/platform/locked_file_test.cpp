#include "platform/locked_file.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <random>
#include <string>
#include <thread>

#include "platform/files.h"
#include "support/temp_files.h"

using namespace scrivle;
namespace fs = std::filesystem;

// A lock file of its own: created when missing, its content left alone, and the lock the
// same one the other ways of opening take.
TEST(LockedFile, WaitForCreatesKeepsContentAndExcludesOthers) {
  const test::TempDir temp;
  const fs::path dir = temp.path();
  const fs::path lock = dir / "registry.reg.lock";
  {
    LockedFile held = LockedFile::waitFor(lock);
    ASSERT_TRUE(held.isOpen());
    EXPECT_TRUE(fs::exists(lock));
    EXPECT_FALSE(LockedFile::openUnowned(lock).isOpen());
  }
  EXPECT_TRUE(LockedFile::openUnowned(lock).isOpen());

  { std::ofstream(lock, std::ios::binary) << "garde"; }
  EXPECT_TRUE(LockedFile::waitFor(lock).isOpen());
  EXPECT_EQ(readFile(lock), "garde");

  EXPECT_FALSE(LockedFile::waitFor(dir / "absent" / "x.lock").isOpen());
}

// A second taker waits for the first to let go, instead of failing.
TEST(LockedFile, WaitForWaitsUntilTheHolderLetsGo) {
  const test::TempDir temp;
  const fs::path dir = temp.path();
  const fs::path lock = dir / "x.lock";
  LockedFile first = LockedFile::waitFor(lock);
  ASSERT_TRUE(first.isOpen());
  std::atomic<bool> released{false};
  std::atomic<bool> tookItEarly{false};
  std::atomic<bool> tookIt{false};
  std::thread second([&] {
    const LockedFile mine = LockedFile::waitFor(lock);
    tookItEarly = !released;
    tookIt = mine.isOpen();
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  released = true;
  first.close();
  second.join();
  EXPECT_TRUE(tookIt);
  EXPECT_FALSE(tookItEarly);
}
