// platform/ is the one seam to the operating system: no other source tests which system
// it is built for or includes a system's own headers, apart from the Windows registry
// back end, which is nothing but such calls.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

TEST(OsSeam, NoSystemConditionOrHeaderOutsidePlatform) {
  const fs::path root = SCRIVLE_SOURCE_DIR;
  std::error_code ec;
  if (!fs::is_directory(root / "platform", ec)) {
    GTEST_SKIP() << "the sources are not reachable from here";
  }
  const std::regex forbidden(
      R"(\b(_WIN32|_WIN64|__linux__|__APPLE__|__unix__|SIGXFSZ|SIGPIPE|SIGHUP)\b|#\s*include\s*<(unistd\.h|fcntl\.h|pwd\.h|windows\.h|io\.h|sys/[a-z_]+\.h)>)");
  int files = 0;
  for (const char* room : {"app", "options", "search", "tools", "compress", "desktop", "preview",
                           "document", "spell", "tags", "settings", "editor", "registry", "calc"}) {
    for (const fs::directory_entry& e : fs::directory_iterator(root / room, ec)) {
      const std::string name = e.path().filename().string();
      const std::string ext = e.path().extension().string();
      if ((ext != ".cpp" && ext != ".h") || name.rfind("registry_win.", 0) == 0) {
        continue;
      }
      ++files;
      std::ifstream in(e.path());
      std::string line;
      for (int number = 1; std::getline(in, line); ++number) {
        EXPECT_FALSE(std::regex_search(line, forbidden))
            << room << "/" << name << ":" << number << ": " << line;
      }
    }
  }
  EXPECT_GT(files, 50);
}
