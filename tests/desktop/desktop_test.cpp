// The desktop's integration files under temporary XDG folders: written as the
// registration says, and taken away again without touching anything else.
#include "desktop/desktop.h"

#include <gtest/gtest.h>

#ifndef _WIN32

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "document/tifile.h"
#include "support/temp_files.h"

namespace scrivle {
namespace {

namespace fs = std::filesystem;

using test::slurp;
using test::spit;

// Every file under root with its content.
std::map<std::string, std::string> tree(const fs::path& root) {
  std::map<std::string, std::string> files;
  for (const auto& e : fs::recursive_directory_iterator(root)) {
    if (e.is_regular_file()) files[fs::relative(e.path(), root).string()] = slurp(e.path());
  }
  return files;
}

std::string run(const std::string& command) {
  std::string out;
  if (FILE* p = popen(command.c_str(), "r")) {
    char buf[256];
    while (fgets(buf, sizeof buf, p) != nullptr) out += buf;
    pclose(p);
  }
  while (!out.empty() && out.back() == '\n') out.pop_back();
  return out;
}

TEST(DesktopIntegration, WritesWhatTheRegistrationSaysAndRemovesOnlyItsOwn) {
  const test::TempDir temp;
  const fs::path root = temp.path();
  DesktopFolders f{root / "data", root / "config", root / "templates"};
  spit(f.configHome / "mimeapps.list",
       "[Default Applications]\ntext/plain=gedit.desktop;\n"
       "application/x-ti92-text=autre.desktop;\n\n[Added Associations]\n"
       "text/plain=gedit.desktop;\n");
  spit(f.templates / "Texte TI.92t", "pas un texte de Scrivle");
  spit(f.dataHome / "applications" / "scrivle-zip.desktop", "[Desktop Entry]\nName=Autre\n");
  const auto before = tree(root);

  ShellState st;
  st.associated = {true, true, false};
  st.ouvrir = st.zip = true;
  st.newFile = {false, true, true};
  syncDesktopIntegration(st, f, "/opt/mes outils/scrivle");

  const std::string entry = slurp(f.dataHome / "applications" / "scrivle.desktop");
  EXPECT_NE(entry.find("Exec=\"/opt/mes outils/scrivle\" %f\n"), std::string::npos) << entry;
  EXPECT_NE(entry.find("MimeType=application/x-ti89-text;application/x-ti92-text;\n"),
            std::string::npos);
  EXPECT_NE(entry.find("Actions=Ouvrir;Zip;\n"), std::string::npos);
  EXPECT_NE(entry.find("[Desktop Action Zip]\nName=Zip\nExec=\"/opt/mes outils/scrivle\" /zip %f"),
            std::string::npos);
  // Another program's file of the same name as the hidden zip entry is not ours to change.
  EXPECT_EQ(slurp(f.dataHome / "applications" / "scrivle-zip.desktop"),
            "[Desktop Entry]\nName=Autre\n");
  const std::string package = slurp(f.dataHome / "mime" / "packages" / "scrivle.xml");
  for (const char* glob : {"*.89t", "*.92t", "*.9xt"}) {
    EXPECT_NE(package.find(glob), std::string::npos) << glob;
  }
  EXPECT_EQ(slurp(f.configHome / "mimeapps.list"),
            "[Default Applications]\ntext/plain=gedit.desktop;\n"
            "application/x-ti92-text=scrivle.desktop;autre.desktop;\n"
            "application/x-ti89-text=scrivle.desktop;\n\n[Added Associations]\n"
            "text/plain=gedit.desktop;\napplication/x-ti89-text=scrivle.desktop;"
            "scrivle-zip.desktop;\napplication/x-ti92-text=scrivle.desktop;"
            "scrivle-zip.desktop;\n");
  EXPECT_EQ(slurp(f.templates / "Texte TI.9xt"), emptyTemplate());
  EXPECT_EQ(slurp(f.templates / "Texte TI.92t"), "pas un texte de Scrivle");

  if (!run("command -v xdg-mime").empty()) {
    const std::string env = "XDG_CONFIG_HOME='" + f.configHome.string() + "' XDG_DATA_HOME='" +
                            f.dataHome.string() + "' XDG_CURRENT_DESKTOP= ";
    EXPECT_EQ(run(env + "xdg-mime query default application/x-ti89-text"), "scrivle.desktop");
    EXPECT_EQ(run(env + "xdg-mime query default application/x-ti92-text"), "scrivle.desktop");
  }

  // Narrower flags take back exactly what they no longer cover.
  st.associated = {true, false, false};
  st.zip = false;
  st.newFile = {false, false, false};
  syncDesktopIntegration(st, f, "/opt/mes outils/scrivle");
  EXPECT_EQ(slurp(f.configHome / "mimeapps.list"),
            "[Default Applications]\ntext/plain=gedit.desktop;\n"
            "application/x-ti92-text=autre.desktop;\n"
            "application/x-ti89-text=scrivle.desktop;\n\n[Added Associations]\n"
            "text/plain=gedit.desktop;\napplication/x-ti89-text=scrivle.desktop;\n");
  EXPECT_FALSE(fs::exists(f.templates / "Texte TI.9xt"));

  removeDesktopIntegration(f);
  EXPECT_EQ(tree(root), before);
  EXPECT_FALSE(fs::exists(f.dataHome / "mime"));
}

TEST(DesktopIntegration, IconGoesInAndOutWithTheAssociationAndSparesOthers) {
  const test::TempDir temp;
  const fs::path root = temp.path();
  DesktopFolders f{root / "data", root / "config", {}};
  const fs::path hicolor = f.dataHome / "icons" / "hicolor";
  // Another program's file of the same name, without Scrivle's mark.
  spit(hicolor / "16x16" / "apps" / "scrivle.png", "someone else's icon");
  const std::vector<DesktopIcon> icons = {
      {"16x16/apps/scrivle.png", "PNG X-Scrivle-Integration 16"},
      {"48x48/apps/scrivle.png", "PNG X-Scrivle-Integration 48"},
      {"scalable/apps/scrivle.svg", "<svg><!-- X-Scrivle-Integration --></svg>"}};
  ShellState st;
  st.associated = {false, false, true};
  syncDesktopIntegration(st, f, "/usr/bin/scrivle", icons);
  EXPECT_EQ(slurp(hicolor / "48x48" / "apps" / "scrivle.png"), icons[1].bytes);
  EXPECT_EQ(slurp(hicolor / "scalable" / "apps" / "scrivle.svg"), icons[2].bytes);
  EXPECT_EQ(slurp(hicolor / "16x16" / "apps" / "scrivle.png"), "someone else's icon");
  EXPECT_NE(slurp(f.dataHome / "applications" / "scrivle.desktop").find("\nIcon=scrivle\n"),
            std::string::npos);

  // Un-associating takes Scrivle's icon away; the uninstall does the same.
  syncDesktopIntegration(ShellState{}, f, "/usr/bin/scrivle", icons);
  EXPECT_FALSE(fs::exists(hicolor / "48x48" / "apps" / "scrivle.png"));
  EXPECT_FALSE(fs::exists(hicolor / "scalable" / "apps" / "scrivle.svg"));
  EXPECT_EQ(slurp(hicolor / "16x16" / "apps" / "scrivle.png"), "someone else's icon");
  syncDesktopIntegration(st, f, "/usr/bin/scrivle", icons);
  removeDesktopIntegration(f, icons);
  EXPECT_FALSE(fs::exists(hicolor / "48x48" / "apps" / "scrivle.png"));
  EXPECT_TRUE(fs::exists(hicolor / "16x16" / "apps" / "scrivle.png"));
}

TEST(DesktopIntegration, FoldersComeFromTheEnvironment) {
  const test::TempDir temp;
  const fs::path root = temp.path();
  spit(root / "config" / "user-dirs.dirs", "XDG_TEMPLATES_DIR=\"$HOME/Modèles\"\n");
  const char* oldHome = std::getenv("HOME");
  const std::string savedHome = oldHome != nullptr ? oldHome : "";
  setenv("HOME", root.c_str(), 1);
  setenv("XDG_CONFIG_HOME", (root / "config").c_str(), 1);
  unsetenv("XDG_DATA_HOME");
  unsetenv("XDG_TEMPLATES_DIR");
  DesktopFolders f = DesktopFolders::fromEnvironment();
  EXPECT_EQ(f.dataHome, root / ".local" / "share");
  EXPECT_EQ(f.templates, root / "Modèles");
  spit(root / "config" / "user-dirs.dirs", "XDG_TEMPLATES_DIR=\"$HOME/\"\n");
  EXPECT_TRUE(DesktopFolders::fromEnvironment().templates.empty());  // turned off
  setenv("XDG_TEMPLATES_DIR", (root / "t").c_str(), 1);
  EXPECT_EQ(DesktopFolders::fromEnvironment().templates, root / "t");
  unsetenv("XDG_TEMPLATES_DIR");
  unsetenv("XDG_CONFIG_HOME");
  setenv("HOME", savedHome.c_str(), 1);

  EXPECT_EQ(desktopExecQuote("/a b/$x\\y%"), "\"/a b/\\\\$x\\\\\\\\y%%\"");
}

}  // namespace
}  // namespace scrivle

#endif  // _WIN32
