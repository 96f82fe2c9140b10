// Test entry point for the window-level tests: headless unless told otherwise.
#include <gtest/gtest.h>
#include <QApplication>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#ifndef _WIN32
#include <unistd.h>
#endif

int main(int argc, char** argv) {
  // Test discovery runs this binary during the build, before ctest's environment
  // applies, so the platform has to be chosen here.
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
  }
  // Documents keep journals and auto-saves in the state folder: never the person's own.
  // Fixtures that look at those files set a folder of their own.
  namespace fs = std::filesystem;
  const fs::path state =
      fs::temp_directory_path() / ("scrivle_ui_state_" + std::to_string(::getpid()));
  setenv("XDG_STATE_HOME", state.c_str(), 1);
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  std::error_code ec;
  fs::remove_all(state, ec);
  return result;
}
