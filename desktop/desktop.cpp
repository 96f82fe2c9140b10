#include "desktop/desktop.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <system_error>
#include <vector>

#include "document/tifile.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/system.h"

namespace scrivle {

namespace fs = std::filesystem;

namespace {

// Every file Scrivle writes here carries this mark; only marked files are removed.
constexpr std::string_view kMark = "X-Scrivle-Integration";
constexpr std::string_view kDefaultSection = "Default Applications";
constexpr std::string_view kAddedSection = "Added Associations";

std::string envOr(const char* name) {
  const char* v = std::getenv(name);
  return v != nullptr ? std::string(v) : std::string();
}

// An XDG base folder: the variable when it holds an absolute path, otherwise the default.
fs::path baseDir(const char* variable, const fs::path& fallback) {
  const fs::path p(envOr(variable));
  return p.is_absolute() ? p : fallback;
}

std::optional<std::string> readText(const fs::path& p) {
  std::error_code ec;
  if (!fs::is_regular_file(p, ec)) return std::nullopt;
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

bool isMarked(const fs::path& p) {
  const auto text = readText(p);
  return text && text->find(kMark) != std::string::npos;
}

void removeIfMarked(const fs::path& p) {
  std::error_code ec;
  if (isMarked(p)) fs::remove(p, ec);
}

// Writes when the content differs; true when the file changed.
bool writeIfChanged(const fs::path& p, const std::string& content) {
  if (readText(p) == content) return false;
  std::error_code ec;
  fs::create_directories(p.parent_path(), ec);
  writeFileAtomically(p, content);
  return true;
}

// Writes one of Scrivle's files, unless a file of that name is someone else's.
bool writeOurs(const fs::path& p, const std::string& content) {
  std::error_code ec;
  if (fs::exists(p, ec) && !isMarked(p)) return false;
  return writeIfChanged(p, content);
}

// The templates folder of user-dirs.dirs: XDG_TEMPLATES_DIR="$HOME/Modèles".
std::optional<fs::path> userDirsTemplates(const fs::path& configHome) {
  const auto text = readText(configHome / "user-dirs.dirs");
  if (!text) return std::nullopt;
  std::istringstream in(*text);
  std::string line;
  std::optional<fs::path> found;
  while (std::getline(in, line)) {
    constexpr std::string_view key = "XDG_TEMPLATES_DIR=";
    if (line.rfind(key, 0) != 0) continue;
    std::string v = line.substr(key.size());
    if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
    if (v.rfind("$HOME", 0) == 0) {
      found = homeFolder() / fs::path(v.substr(5)).relative_path();
    } else if (fs::path(v).is_absolute()) {
      found = fs::path(v);
    }
  }
  return found;
}

std::string mimePackage() {
  static constexpr std::array<std::string_view, 3> comments = {"Texte TI-89", "Texte TI-92",
                                                               "Texte TI-92 Plus"};
  std::string x =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<!-- " +
      std::string(kMark) +
      ": the calculator texts Scrivle edits -->\n"
      "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n";
  for (std::size_t i = 0; i < kCalcTextMimeTypes.size(); ++i) {
    x += "  <mime-type type=\"" + std::string(kCalcTextMimeTypes[i]) + "\">\n";
    x += "    <comment>" + std::string(comments[i]) + "</comment>\n";
    x += "    <glob pattern=\"*." + std::string(kShellExtensions[i]) + "\"/>\n";
    x += "  </mime-type>\n";
  }
  x += "</mime-info>\n";
  return x;
}

std::string mimeTypeList(const ShellState& state) {
  std::string list;
  for (std::size_t i = 0; i < kCalcTextMimeTypes.size(); ++i) {
    if (state.associated[i]) list += std::string(kCalcTextMimeTypes[i]) + ";";
  }
  return list;
}

std::string desktopEntry(const ShellState& state, const std::string& exec) {
  std::string actions;
  if (state.ouvrir) actions += "Ouvrir;";
  if (state.zip) actions += "Zip;";
  std::string e =
      "[Desktop Entry]\n"
      "Type=Application\n"
      "Name=Scrivle\n"
      "GenericName=Éditeur de textes TI\n"
      "Comment=Textes des TI-89, TI-92 et TI-92 Plus\n"
      "Exec=" +
      exec +
      " %f\n"
      "Icon=" +
      std::string(kIconName) +
      "\n"
      "Terminal=false\n"
      "Categories=Utility;TextEditor;\n"
      "MimeType=" +
      mimeTypeList(state) + "\n";
  if (!actions.empty()) e += "Actions=" + actions + "\n";
  e += std::string(kMark) + "=true\n";
  if (state.ouvrir) e += "\n[Desktop Action Ouvrir]\nName=Ouvrir\nExec=" + exec + " %f\n";
  if (state.zip) e += "\n[Desktop Action Zip]\nName=Zip\nExec=" + exec + " /zip %f\n";
  return e;
}

std::string zipEntry(const ShellState& state, const std::string& exec) {
  return "[Desktop Entry]\n"
         "Type=Application\n"
         "Name=Zip (Scrivle)\n"
         "Exec=" +
         exec +
         " /zip %f\n"
         "Icon=" +
         std::string(kIconName) +
         "\n"
         "NoDisplay=true\n"
         "Terminal=false\n"
         "MimeType=" +
         mimeTypeList(state) + "\n" + std::string(kMark) + "=true\n";
}

// --- mimeapps.list ------------------------------------------------------------------

struct Section {
  std::string header;  // "" for the lines before the first section
  std::vector<std::string> lines;
};

std::vector<Section> parseSections(const std::string& text) {
  std::vector<Section> sections(1);
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line.front() == '[') {
      sections.push_back({line, {}});
    } else {
      sections.back().lines.push_back(line);
    }
  }
  return sections;
}

std::vector<std::string> splitIds(std::string_view value) {
  std::vector<std::string> ids;
  std::size_t start = 0;
  while (start <= value.size()) {
    std::size_t end = value.find(';', start);
    if (end == std::string_view::npos) end = value.size();
    if (end > start) ids.emplace_back(value.substr(start, end - start));
    start = end + 1;
  }
  return ids;
}

bool isOurs(std::string_view id) {
  return id == kDesktopEntryName || id == kZipEntryName;
}

int ourTypeIndex(std::string_view key) {
  for (std::size_t i = 0; i < kCalcTextMimeTypes.size(); ++i) {
    if (key == kCalcTextMimeTypes[i]) return static_cast<int>(i);
  }
  return -1;
}

// The ids Scrivle puts first for a type in a section (none when not associated).
std::vector<std::string> ourIds(const ShellState& state, std::size_t type, bool added) {
  if (!state.associated[type]) return {};
  std::vector<std::string> ids = {std::string(kDesktopEntryName)};
  if (added && state.zip) ids.emplace_back(kZipEntryName);
  return ids;
}

void syncSection(Section& section, const ShellState& state, bool added) {
  std::array<bool, 3> seen{};
  std::vector<std::string> kept;
  for (const std::string& line : section.lines) {
    const std::size_t eq = line.find('=');
    const int type = eq == std::string::npos ? -1 : ourTypeIndex(line.substr(0, eq));
    if (type < 0) {
      kept.push_back(line);
      continue;
    }
    seen[static_cast<std::size_t>(type)] = true;
    std::vector<std::string> ids = ourIds(state, static_cast<std::size_t>(type), added);
    for (std::string& id : splitIds(std::string_view(line).substr(eq + 1))) {
      if (!isOurs(id)) ids.push_back(std::move(id));
    }
    if (ids.empty()) continue;
    std::string value;
    for (const std::string& id : ids) value += id + ";";
    kept.push_back(line.substr(0, eq + 1) + value);
  }
  // New keys go after the section's last entry, before its trailing blank lines.
  auto at = kept.end();
  while (at != kept.begin() && (at - 1)->empty()) --at;
  std::vector<std::string> fresh;
  for (std::size_t t = 0; t < kCalcTextMimeTypes.size(); ++t) {
    if (seen[t]) continue;
    std::string value;
    for (const std::string& id : ourIds(state, t, added)) value += id + ";";
    if (!value.empty()) fresh.push_back(std::string(kCalcTextMimeTypes[t]) + "=" + value);
  }
  kept.insert(at, fresh.begin(), fresh.end());
  section.lines = std::move(kept);
}

bool hasEntries(const std::vector<Section>& sections) {
  for (const Section& s : sections) {
    for (const std::string& line : s.lines) {
      if (!line.empty() && line.front() != '#') return true;
    }
  }
  return false;
}

void syncMimeApps(const fs::path& file, const ShellState& state) {
  const std::optional<std::string> old = readText(file);
  std::vector<Section> sections = parseSections(old.value_or(""));
  for (std::string_view name : {kDefaultSection, kAddedSection}) {
    const std::string header = "[" + std::string(name) + "]";
    Section* section = nullptr;
    for (Section& s : sections) {
      if (s.header == header) section = &s;
    }
    if (section == nullptr) {
      sections.push_back({header, {}});
      section = &sections.back();
    }
    syncSection(*section, state, name == kAddedSection);
  }
  // Scrivle's two sections go when nothing is left in them.
  std::vector<Section> kept;
  for (Section& s : sections) {
    const bool ours = s.header == "[" + std::string(kDefaultSection) + "]" ||
                      s.header == "[" + std::string(kAddedSection) + "]";
    if (!ours || hasEntries({s})) kept.push_back(std::move(s));
  }
  if (!hasEntries(kept)) {
    std::error_code ec;
    if (old) fs::remove(file, ec);
    return;
  }
  std::string text;
  for (const Section& s : kept) {
    if (!s.header.empty()) text += s.header + "\n";
    for (const std::string& l : s.lines) text += l + "\n";
  }
  while (text.size() >= 2 && text.compare(text.size() - 2, 2, "\n\n") == 0) text.pop_back();
  if (!old || *old != text) writeIfChanged(file, text);
}

// --- MIME database ------------------------------------------------------------------

std::string shellQuote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

void refreshMimeDatabase(const fs::path& mimeDir) {
  std::error_code ec;
  const fs::path packages = mimeDir / "packages";
  if (fs::is_directory(packages, ec) && !fs::is_empty(packages, ec)) {
    if (std::system(nullptr) != 0) {
      const std::string cmd =
          "command -v update-mime-database >/dev/null 2>&1 && "
          "update-mime-database " +
          shellQuote(mimeDir.string()) + " >/dev/null 2>&1";
      [[maybe_unused]] const int rc = std::system(cmd.c_str());
    }
    return;
  }
  // No package left: what remains is the database generated from Scrivle's, whose
  // files update-mime-database names. A folder holding anything else is left as it is.
  static constexpr std::array<std::string_view, 12> generated = {
      "aliases",    "generic-icons", "globs",     "globs2", "icons",   "magic",
      "mime.cache", "subclasses",    "treemagic", "types",  "version", "XMLnamespaces"};
  if (!fs::is_directory(mimeDir, ec)) return;
  std::vector<fs::path> remove;
  for (const fs::directory_entry& e : fs::directory_iterator(mimeDir, ec)) {
    const std::string name = e.path().filename().string();
    bool ok = std::find(generated.begin(), generated.end(), name) != generated.end();
    if (!ok && e.is_directory(ec)) {
      ok = true;  // a media-type folder of generated .xml files, or the empty packages
      for (const fs::directory_entry& f : fs::directory_iterator(e.path(), ec)) {
        ok = ok && f.is_regular_file(ec) && f.path().extension() == ".xml";
      }
    }
    if (!ok) return;
    remove.push_back(e.path());
  }
  for (const fs::path& p : remove) fs::remove_all(p, ec);
  fs::remove(mimeDir, ec);
}

fs::path templateFile(const fs::path& folder, std::string_view ext) {
  return folder / (std::string(kTemplateStem) + "." + std::string(ext));
}

void removeTemplateIfOurs(const fs::path& file) {
  std::error_code ec;
  if (readText(file) == emptyTemplate()) fs::remove(file, ec);
}

}  // namespace

DesktopFolders DesktopFolders::fromEnvironment() {
  DesktopFolders f;
  const fs::path home = homeFolder();
  f.dataHome = baseDir("XDG_DATA_HOME", home / ".local" / "share");
  f.configHome = baseDir("XDG_CONFIG_HOME", home / ".config");
  const fs::path env(envOr("XDG_TEMPLATES_DIR"));
  if (env.is_absolute()) {
    f.templates = env;
  } else if (auto fromFile = userDirsTemplates(f.configHome)) {
    f.templates = *fromFile;
  } else {
    f.templates = home / "Templates";
  }
  // user-dirs.dirs turns a folder off by pointing it at the home folder.
  std::error_code ec;
  if (!home.empty() && fs::weakly_canonical(f.templates, ec) == fs::weakly_canonical(home, ec)) {
    f.templates.clear();
  }
  return f;
}

bool desktopIntegrationSupported() {
  return !os::kWindows;
}

std::string desktopExecQuote(const std::string& path) {
  // Inside the quotes ", `, $ and \ take a backslash; the key's string value then
  // doubles every backslash, and a literal % is written %%.
  std::string quoted = "\"";
  for (char c : path) {
    if (c == '"' || c == '`' || c == '$') {
      quoted += "\\\\";
      quoted += c;
    } else if (c == '\\') {
      quoted += "\\\\\\\\";
    } else if (c == '%') {
      quoted += "%%";
    } else {
      quoted += c;
    }
  }
  return quoted + "\"";
}

void syncDesktopIntegration(const ShellState& state, const DesktopFolders& folders,
                            const fs::path& executable, const std::vector<DesktopIcon>& icons) {
  if (!desktopIntegrationSupported()) return;
  const bool any = state.associated[0] || state.associated[1] || state.associated[2];
  const fs::path apps = folders.dataHome / "applications";
  const fs::path mimeDir = folders.dataHome / "mime";
  const fs::path package = mimeDir / "packages" / std::string(kMimePackageName);
  const std::string exec = desktopExecQuote(executable.string());

  bool packageChanged = false;
  if (any) {
    packageChanged = writeOurs(package, mimePackage());
    writeOurs(apps / std::string(kDesktopEntryName), desktopEntry(state, exec));
    if (state.zip) {
      writeOurs(apps / std::string(kZipEntryName), zipEntry(state, exec));
    } else {
      removeIfMarked(apps / std::string(kZipEntryName));
    }
  } else {
    packageChanged = isMarked(package);
    removeIfMarked(package);
    removeIfMarked(apps / std::string(kDesktopEntryName));
    removeIfMarked(apps / std::string(kZipEntryName));
  }
  const fs::path hicolor = folders.dataHome / "icons" / "hicolor";
  for (const DesktopIcon& icon : icons) {
    const fs::path file = hicolor / icon.themePath;
    if (any && !icon.bytes.empty()) {
      writeOurs(file, icon.bytes);
    } else {
      removeIfMarked(file);
    }
  }
  syncMimeApps(folders.configHome / "mimeapps.list", any ? state : ShellState{});
  if (packageChanged) refreshMimeDatabase(mimeDir);

  if (folders.templates.empty()) return;
  for (std::size_t i = 0; i < kShellExtensions.size(); ++i) {
    const fs::path file = templateFile(folders.templates, kShellExtensions[i]);
    if (state.newFile[i]) {
      std::error_code ec;
      if (!fs::exists(file, ec)) writeIfChanged(file, emptyTemplate());
    } else {
      removeTemplateIfOurs(file);
    }
  }
}

void removeDesktopIntegration(const DesktopFolders& folders,
                              const std::vector<DesktopIcon>& icons) {
  if (!desktopIntegrationSupported()) return;
  syncDesktopIntegration(ShellState{}, folders, {}, icons);
}

}  // namespace scrivle
