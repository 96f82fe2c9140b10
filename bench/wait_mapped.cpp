// Starts a program and waits, without polling, until one of its top-level windows is
// viewable on the X display and titled with a given text; prints the program's PID, the
// microseconds from just before its start to that moment, the window and the CPU time
// the program had used then (microseconds, all its threads), and leaves it running.
//
//   wait_mapped <title text> <timeout in seconds> <program> [argument ...]
//
// The process benchmarks time start-ups with it instead of a loop of xdotool searches:
// such a loop starts a process every few milliseconds and queries the X server all the
// time, on the same two processors and the same server as the program being timed.
// Here the waiting costs nothing until the X server reports a window, a mapping or a
// change of title. "Viewable" is what `xdotool search --onlyvisible` looks for: the
// window and all its ancestors (the window manager's frame) are mapped.
#include <xcb/xcb.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <set>
#include <string>

#include <unistd.h>

namespace {

struct FreeDeleter {
  void operator()(void* p) const { std::free(p); }  // NOLINT(cppcoreguidelines-no-malloc)
};
template <class T>
using Reply = std::unique_ptr<T, FreeDeleter>;

long long nowUs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<long long>(ts.tv_sec) * 1000000 + ts.tv_nsec / 1000;
}

// The CPU time the process has used, all its threads (ended ones included), or -1.
long long cpuUs(pid_t pid) {
  clockid_t clock{};
  timespec ts{};
  if (clock_getcpuclockid(pid, &clock) != 0 || clock_gettime(clock, &ts) != 0) return -1;
  return static_cast<long long>(ts.tv_sec) * 1000000 + ts.tv_nsec / 1000;
}

xcb_atom_t atom(xcb_connection_t* c, const char* name) {
  Reply<xcb_intern_atom_reply_t> r(xcb_intern_atom_reply(
      c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr));
  return r ? r->atom : xcb_atom_t{XCB_ATOM_NONE};
}

std::string property(xcb_connection_t* c, xcb_window_t w, xcb_atom_t prop) {
  Reply<xcb_get_property_reply_t> r(xcb_get_property_reply(
      c, xcb_get_property(c, 0, w, prop, XCB_GET_PROPERTY_TYPE_ANY, 0, 4096), nullptr));
  if (!r) return {};
  return {static_cast<const char*>(xcb_get_property_value(r.get())),
          static_cast<size_t>(xcb_get_property_value_length(r.get()))};
}

bool viewable(xcb_connection_t* c, xcb_window_t w) {
  Reply<xcb_get_window_attributes_reply_t> r(
      xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, w), nullptr));
  return r && r->map_state == XCB_MAP_STATE_VIEWABLE;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: %s <title text> <timeout s> <program> [argument ...]\n", argv[0]);
    return 2;
  }
  const std::string title = argv[1];
  const long long timeoutUs = std::atoll(argv[2]) * 1000000LL;
  xcb_connection_t* c = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(c)) {
    std::fprintf(stderr, "cannot open the display\n");
    return 1;
  }
  const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
  const xcb_atom_t netWmName = atom(c, "_NET_WM_NAME");
  // New top-level windows and the mapping of the window manager's frames.
  const uint32_t rootMask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
  xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &rootMask);
  xcb_flush(c);

  std::signal(SIGCHLD, SIG_IGN);  // the program is left running; nobody waits for it
  const long long t0 = nowUs();
  const pid_t pid = fork();
  if (pid < 0) return 1;
  if (pid == 0) {
    close(xcb_get_file_descriptor(c));
    std::signal(SIGCHLD, SIG_DFL);
    execvp(argv[3], argv + 3);
    std::perror(argv[3]);
    _exit(127);
  }

  std::set<xcb_window_t> candidates;  // top-level windows created since the start
  auto found = [&]() -> xcb_window_t {
    for (const xcb_window_t w : candidates) {
      std::string name = property(c, w, netWmName);
      if (name.empty()) name = property(c, w, XCB_ATOM_WM_NAME);
      if (name.find(title) != std::string::npos && viewable(c, w)) return w;
    }
    return XCB_WINDOW_NONE;
  };
  const int fd = xcb_get_file_descriptor(c);
  bool check = false;
  for (;;) {
    bool drained = true;
    while (xcb_generic_event_t* raw = xcb_poll_for_event(c)) {
      const Reply<xcb_generic_event_t> e(raw);
      switch (e->response_type & 0x7f) {
        case XCB_CREATE_NOTIFY: {
          const auto* ce = reinterpret_cast<const xcb_create_notify_event_t*>(raw);
          if (ce->parent != root || ce->override_redirect) break;
          // Titles and mappings of the window itself from now on; what came before the
          // selection is read by the check below.
          const uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_PROPERTY_CHANGE;
          xcb_change_window_attributes(c, ce->window, XCB_CW_EVENT_MASK, &mask);
          candidates.insert(ce->window);
          check = true;
          break;
        }
        case XCB_DESTROY_NOTIFY:
          candidates.erase(reinterpret_cast<const xcb_destroy_notify_event_t*>(raw)->window);
          break;
        case XCB_MAP_NOTIFY:
        case XCB_PROPERTY_NOTIFY:
        case XCB_REPARENT_NOTIFY:
          check = true;
          break;
        default:
          break;
      }
    }
    if (xcb_connection_has_error(c)) return 1;
    if (check) {
      if (const xcb_window_t w = found(); w != XCB_WINDOW_NONE) {
        std::printf("%d %lld %u %lld\n", static_cast<int>(pid), nowUs() - t0, w, cpuUs(pid));
        return 0;
      }
      // Waiting for the replies may have queued events that the socket no longer shows:
      // read the queue again before sleeping on the socket.
      check = false;
      drained = false;
    }
    if (!drained) continue;
    const long long left = t0 + timeoutUs - nowUs();
    if (left <= 0) {
      std::fprintf(stderr, "no window titled %s\n", title.c_str());
      std::printf("%d -1 0 -1\n", static_cast<int>(pid));
      return 1;
    }
    fd_set set;
    FD_ZERO(&set);
    FD_SET(fd, &set);
    timeval tv{static_cast<time_t>(left / 1000000), static_cast<suseconds_t>(left % 1000000)};
    select(fd + 1, &set, nullptr, nullptr, &tv);
  }
}
