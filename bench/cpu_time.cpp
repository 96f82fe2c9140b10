// Prints the CPU time a running process has used, in microseconds: all its threads,
// those that have ended included (the kernel's process clock). Reading the threads in
// /proc one by one misses the ended ones.
//
//   cpu_time <pid>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include <sys/types.h>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <pid>\n", argv[0]);
    return 2;
  }
  clockid_t clock{};
  timespec ts{};
  if (clock_getcpuclockid(static_cast<pid_t>(std::atoi(argv[1])), &clock) != 0 ||
      clock_gettime(clock, &ts) != 0) {
    std::fprintf(stderr, "no process %s\n", argv[1]);
    return 1;
  }
  std::printf("%lld\n", static_cast<long long>(ts.tv_sec) * 1000000 + ts.tv_nsec / 1000);
  return 0;
}
