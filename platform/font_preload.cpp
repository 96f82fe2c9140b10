#include "platform/font_preload.h"

#include <system_error>

#ifdef SCRIVLE_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

namespace scrivle {

FontConfigPreload::FontConfigPreload() {
#ifdef SCRIVLE_FONTCONFIG
  try {
    // fontconfig keeps what it read as the process's configuration, which every later
    // user (the toolkit among them) takes.
    thread_ = std::thread([] { FcInit(); });
  } catch (const std::system_error&) {
    // No thread to spare: the toolkit reads the configuration when it needs it.
  }
#endif
}

FontConfigPreload::~FontConfigPreload() {
  wait();
}

void FontConfigPreload::wait() {
  if (thread_.joinable()) thread_.join();
}

}  // namespace scrivle
