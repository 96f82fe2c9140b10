#include "platform/threads.h"

#include <gtest/gtest.h>

#include <thread>

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace scrivle {
namespace {

#ifndef _WIN32
int priorityOf(long tid) {
  return ::getpriority(PRIO_PROCESS, static_cast<id_t>(tid));
}

// Only the thread that asks is lowered: the window's thread keeps its priority.
TEST(Threads, OnlyTheCallingThreadIsLowered) {
  const long mainThread = ::syscall(SYS_gettid);
  const int before = priorityOf(mainThread);
  int lowered = before;
  std::thread worker([&] {
    lowerThisThreadsPriority();
    lowered = priorityOf(::syscall(SYS_gettid));
  });
  worker.join();
  EXPECT_GE(lowered, 10);
  EXPECT_GT(lowered, before);
  EXPECT_EQ(priorityOf(mainThread), before);
  EXPECT_EQ(::getpriority(PRIO_PROCESS, 0), before);
}
#endif

}  // namespace
}  // namespace scrivle
