// Dialogs that stand for the person at the keyboard: every box shown is recorded, and
// the answers come from queues the test fills beforehand. A box the test did not
// expect fails the test; an expectation never met fails it too (at destruction).
#pragma once

#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/dialogs.h"

namespace scrivle::test {

class FakeDialogs : public Dialogs {
 public:
  enum class Kind { Message, Confirm, Error, Open, Save, Colour, Folder };
  struct Shown {
    Kind kind;
    std::string text;         // box text, dialog title, or the folder browser's title
    bool withCancel = false;  // confirmation boxes only
  };

  FakeDialogs() = default;
  ~FakeDialogs() override;
  FakeDialogs(const FakeDialogs&) = delete;
  FakeDialogs& operator=(const FakeDialogs&) = delete;

  // Expectations, consumed in order within each kind. A text given to expectMessage /
  // expectError / expectConfirm must equal the text shown.
  void expectMessage(std::optional<std::string> text = std::nullopt);
  void expectError(std::optional<std::string> text = std::nullopt);
  void expectConfirm(Answer answer, std::optional<std::string> text = std::nullopt);
  void expectOpen(std::vector<std::filesystem::path> paths);   // empty = cancelled
  void expectSave(std::optional<std::filesystem::path> path);  // nullopt = cancelled
  void expectColour(std::optional<std::uint32_t> colour);
  void expectFolder(std::optional<std::filesystem::path> folder);

  // Everything shown so far, in order.
  const std::vector<Shown>& shown() const { return shown_; }
  std::vector<std::string> texts(Kind kind) const;
  // Options of the last open or save dialog.
  const FileDialogOptions& lastFileOptions() const { return lastFileOptions_; }
  std::size_t pending() const;
  void clear();

  void message(const std::string& text) override;
  Answer confirm(const std::string& text, bool withCancel) override;
  void error(const std::string& text) override;
  std::vector<std::filesystem::path> openFiles(const FileDialogOptions& options) override;
  std::optional<std::filesystem::path> saveFile(const FileDialogOptions& options) override;
  std::optional<std::uint32_t> chooseColour(std::uint32_t initial) override;
  std::optional<std::filesystem::path> chooseFolder(const std::string& title,
                                                    const std::filesystem::path& start) override;

  static const char* kindName(Kind kind);

  // Runs as each box appears, before its answer is given (to look at the windows then).
  std::function<void(const Shown&)> onShow;

 private:
  struct Expected {
    std::optional<std::string> text;
    Answer answer = Answer::Cancel;
  };
  bool takeText(std::deque<Expected>& queue, Kind kind, const std::string& text,
                Answer* answer = nullptr);

  std::vector<Shown> shown_;
  std::deque<Expected> messages_;
  std::deque<Expected> errors_;
  std::deque<Expected> confirms_;
  std::deque<std::vector<std::filesystem::path>> opens_;
  std::deque<std::optional<std::filesystem::path>> saves_;
  std::deque<std::optional<std::uint32_t>> colours_;
  std::deque<std::optional<std::filesystem::path>> folders_;
  FileDialogOptions lastFileOptions_;
};

}  // namespace scrivle::test
