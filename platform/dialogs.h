// Boxes and file dialogs the windows show. Texts are UTF-8 (the French of the
// interface); paths are std::filesystem::path.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace scrivle {

enum class Answer { Yes, No, Cancel };

struct FileDialogOptions {
  std::string title;
  // Filter in the "Description|pattern|Description|pattern" form of the calculator's
  // desktop tools; each pattern may hold several globs separated by ';'.
  std::string filter;
  int filterIndex = 1;     // 1-based entry preselected
  std::string defaultExt;  // without the dot
  std::filesystem::path initialDir;
  std::string fileName;  // proposed name
};

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // Plain information box with an OK button.
  virtual void message(const std::string& text) = 0;
  // Confirmation box (caption "Confirmation", buttons "&Oui", "&Non" and, with
  // withCancel, "Annuler"). Closing the box counts as Cancel, or No without Cancel.
  virtual Answer confirm(const std::string& text, bool withCancel) = 0;
  // The application-wide error box.
  virtual void error(const std::string& text) = 0;
  // Open dialog; several files may be chosen. Empty when cancelled.
  virtual std::vector<std::filesystem::path> openFiles(const FileDialogOptions& options) = 0;
  // Save dialog; replaces an existing file without asking. Empty when cancelled.
  virtual std::optional<std::filesystem::path> saveFile(const FileDialogOptions& options) = 0;
  // Colour dialog with an initial 0x00BBGGRR colour.
  virtual std::optional<std::uint32_t> chooseColour(std::uint32_t initial) = 0;
  // Folder browser.
  virtual std::optional<std::filesystem::path> chooseFolder(const std::string& title,
                                                            const std::filesystem::path& start) = 0;
};

// Parses a "Description|pattern|..." filter into (description, patterns) pairs.
struct FilterEntry {
  std::string description;
  std::vector<std::string> patterns;  // e.g. "*.9xt"
};
std::vector<FilterEntry> parseFilter(const std::string& filter);

}  // namespace scrivle
