#include "platform/threads.h"

#ifdef _WIN32
#include "platform/windows_api.h"
#else
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace scrivle {

void lowerThisThreadsPriority() {
#ifdef _WIN32
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
#else
  // On Linux each thread has a niceness of its own, set through its thread id.
  const auto tid = static_cast<id_t>(::syscall(SYS_gettid));
  const int now = ::getpriority(PRIO_PROCESS, tid);
  (void)::setpriority(PRIO_PROCESS, tid, now < 10 ? 10 : now);
#endif
}

}  // namespace scrivle
