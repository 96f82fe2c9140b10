// Boxes answered from a script file, so that a test can start the real program and
// still answer its boxes. Chosen at start-up when SCRIVLE_TEST_DIALOGS names a script.
//
// Script: one answer per line, taken in order by the boxes as they appear; blank lines
// and lines starting with '#' are skipped.
//   message | error            an information / error box, acknowledged
//   confirm yes|no|cancel      a confirmation box
//   open PATH | open           an open dialog choosing PATH, or cancelled
//   save PATH | save           a save dialog choosing PATH, or cancelled
//   colour 0xBBGGRR | colour   a colour dialog
//   folder PATH | folder       a folder browser
// Log: every box shown is appended as one line, "kind: text" (with " => answer" for a
// confirmation), CR, LF and backslash written as \r, \n and \\. A box the script does not
// answer next is logged as "unexpected kind: text" and cancelled (No for a question
// without Cancel, OK for a message); the script line is kept for a later box.
#pragma once

#include <cstdint>
#include <deque>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/dialogs.h"

namespace scrivle {

class ScriptedDialogs : public Dialogs {
 public:
  // Reads the whole script now; a missing script answers nothing.
  ScriptedDialogs(const std::filesystem::path& script, std::filesystem::path log);

  // Dialogs for the script named by $SCRIVLE_TEST_DIALOGS, logging to that path with
  // ".log" added; nullptr when the variable is unset or empty.
  static std::unique_ptr<ScriptedDialogs> fromEnvironment();

  void message(const std::string& text) override;
  Answer confirm(const std::string& text, bool withCancel) override;
  void error(const std::string& text) override;
  std::vector<std::filesystem::path> openFiles(const FileDialogOptions& options) override;
  std::optional<std::filesystem::path> saveFile(const FileDialogOptions& options) override;
  std::optional<std::uint32_t> chooseColour(std::uint32_t initial) override;
  std::optional<std::filesystem::path> chooseFolder(const std::string& title,
                                                    const std::filesystem::path& start) override;

 private:
  // The argument of the next script line when it answers a box of this kind.
  std::optional<std::string> take(const std::string& kind, const std::string& text);
  void log(const std::string& line) const;

  std::deque<std::pair<std::string, std::string>> answers_;  // kind, argument
  std::filesystem::path log_;
};

}  // namespace scrivle
