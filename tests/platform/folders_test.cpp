#include "platform/folders.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#ifndef _WIN32
#include <pwd.h>
#include <unistd.h>
#endif

#include "registry/registry_file.h"

using namespace scrivle;
namespace fs = std::filesystem;

namespace {

// Sets a variable (or clears it, for nullptr) for the scope.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) {
      saved_ = old;
    }
    set(value);
  }
  ~ScopedEnv() { set(saved_ ? saved_->c_str() : nullptr); }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  void set(const char* value) {
    if (value != nullptr) {
      setenv(name_, value, 1);
    } else {
      unsetenv(name_);
    }
  }
  const char* name_;
  std::optional<std::string> saved_;
};

}  // namespace

TEST(Folders, SettingsFolderFollowsTheConfigVariableThenTheHomeFolder) {
  const fs::path home = fs::temp_directory_path() / "scrivle-home";
  const fs::path config = fs::temp_directory_path() / "scrivle-config";
  const ScopedEnv h("HOME", home.string().c_str());
  const ScopedEnv r("SCRIVLE_REGISTRY", nullptr);
  {
    const ScopedEnv c("XDG_CONFIG_HOME", config.string().c_str());
    EXPECT_EQ(homeFolder(), home);
    EXPECT_EQ(configFolder(), config / "Scrivle");
    EXPECT_EQ(storeLocation(), config / "Scrivle" / "registry.reg");
  }
  // A relative value is ignored, as for every XDG base folder.
  const ScopedEnv c("XDG_CONFIG_HOME", "relative/config");
  EXPECT_EQ(configFolder(), home / ".config" / "Scrivle");
  EXPECT_EQ(storeLocation(), home / ".config" / "Scrivle" / "registry.reg");

  const ScopedEnv redirected("SCRIVLE_REGISTRY", (config / "autre.reg").string().c_str());
  EXPECT_EQ(storeLocation(), config / "autre.reg");
}

#ifndef _WIN32
// Without $HOME (a service, "env -i") the account's own home folder still holds the
// settings: never the current folder, where ".config" would be a relative path.
TEST(Folders, WithoutHomeTheAccountsHomeFolderIsUsed) {
  const passwd* entry = ::getpwuid(::getuid());
  if (entry == nullptr || entry->pw_dir == nullptr || *entry->pw_dir == '\0') {
    GTEST_SKIP() << "this account has no home folder in the user database";
  }
  const fs::path accountHome = entry->pw_dir;
  const ScopedEnv h("HOME", nullptr);
  const ScopedEnv c("XDG_CONFIG_HOME", nullptr);
  EXPECT_EQ(homeFolder(), accountHome);
  EXPECT_EQ(configFolder(), accountHome / ".config" / "Scrivle");
  EXPECT_TRUE(configFolder().is_absolute());
}
#endif
