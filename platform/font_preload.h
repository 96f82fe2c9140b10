// The system's font configuration read ahead, on a thread of its own.
#pragma once

#include <thread>

namespace scrivle {

// On Linux the first font the program measures makes fontconfig read its whole
// configuration and font caches, 5 ms or more on a usual desktop, on the thread that asked.
// Started before the toolkit, the reading runs beside the toolkit's own start (connection
// to the display, plug-ins), which takes longer. `wait` returns once it is done; it is
// called before the first font is used, so the toolkit never reads the configuration a
// second time beside it. Nothing to do on systems without fontconfig.
class FontConfigPreload {
 public:
  FontConfigPreload();
  ~FontConfigPreload();
  FontConfigPreload(const FontConfigPreload&) = delete;
  FontConfigPreload& operator=(const FontConfigPreload&) = delete;

  void wait();

 private:
  std::thread thread_;
};

}  // namespace scrivle
