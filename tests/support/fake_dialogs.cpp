#include "support/fake_dialogs.h"

#include <gtest/gtest.h>

namespace scrivle::test {

const char* FakeDialogs::kindName(Kind kind) {
  switch (kind) {
    case Kind::Message:
      return "message box";
    case Kind::Confirm:
      return "confirmation box";
    case Kind::Error:
      return "error box";
    case Kind::Open:
      return "open dialog";
    case Kind::Save:
      return "save dialog";
    case Kind::Colour:
      return "colour dialog";
    case Kind::Folder:
      return "folder browser";
  }
  return "box";
}

FakeDialogs::~FakeDialogs() {
  auto report = [](std::size_t count, Kind kind) {
    if (count > 0) {
      ADD_FAILURE() << count << " expected " << kindName(kind) << "(es) never shown";
    }
  };
  report(messages_.size(), Kind::Message);
  report(errors_.size(), Kind::Error);
  report(confirms_.size(), Kind::Confirm);
  report(opens_.size(), Kind::Open);
  report(saves_.size(), Kind::Save);
  report(colours_.size(), Kind::Colour);
  report(folders_.size(), Kind::Folder);
}

void FakeDialogs::expectMessage(std::optional<std::string> text) {
  messages_.push_back({std::move(text), Answer::Yes});
}
void FakeDialogs::expectError(std::optional<std::string> text) {
  errors_.push_back({std::move(text), Answer::Yes});
}
void FakeDialogs::expectConfirm(Answer answer, std::optional<std::string> text) {
  confirms_.push_back({std::move(text), answer});
}
void FakeDialogs::expectOpen(std::vector<std::filesystem::path> paths) {
  opens_.push_back(std::move(paths));
}
void FakeDialogs::expectSave(std::optional<std::filesystem::path> path) {
  saves_.push_back(std::move(path));
}
void FakeDialogs::expectColour(std::optional<std::uint32_t> colour) {
  colours_.push_back(colour);
}
void FakeDialogs::expectFolder(std::optional<std::filesystem::path> folder) {
  folders_.push_back(std::move(folder));
}

std::vector<std::string> FakeDialogs::texts(Kind kind) const {
  std::vector<std::string> out;
  for (const Shown& s : shown_) {
    if (s.kind == kind) {
      out.push_back(s.text);
    }
  }
  return out;
}

std::size_t FakeDialogs::pending() const {
  return messages_.size() + errors_.size() + confirms_.size() + opens_.size() + saves_.size() +
         colours_.size() + folders_.size();
}

void FakeDialogs::clear() {
  shown_.clear();
  messages_.clear();
  errors_.clear();
  confirms_.clear();
  opens_.clear();
  saves_.clear();
  colours_.clear();
  folders_.clear();
}

bool FakeDialogs::takeText(std::deque<Expected>& queue, Kind kind, const std::string& text,
                           Answer* answer) {
  if (queue.empty()) {
    ADD_FAILURE() << "unexpected " << kindName(kind) << ": \"" << text << '"';
    return false;
  }
  const Expected e = queue.front();
  queue.pop_front();
  if (e.text && *e.text != text) {
    ADD_FAILURE() << kindName(kind) << " shows \"" << text << "\", expected \"" << *e.text << '"';
  }
  if (answer != nullptr) {
    *answer = e.answer;
  }
  return true;
}

void FakeDialogs::message(const std::string& text) {
  shown_.push_back({Kind::Message, text});
  if (onShow) onShow(shown_.back());
  takeText(messages_, Kind::Message, text);
}

Answer FakeDialogs::confirm(const std::string& text, bool withCancel) {
  shown_.push_back({Kind::Confirm, text, withCancel});
  if (onShow) onShow(shown_.back());
  Answer answer = Answer::Cancel;
  if (!takeText(confirms_, Kind::Confirm, text, &answer)) {
    answer = Answer::Cancel;
  }
  if (!withCancel && answer == Answer::Cancel) {
    answer = Answer::No;
  }
  return answer;
}

void FakeDialogs::error(const std::string& text) {
  shown_.push_back({Kind::Error, text});
  takeText(errors_, Kind::Error, text);
}

std::vector<std::filesystem::path> FakeDialogs::openFiles(const FileDialogOptions& options) {
  shown_.push_back({Kind::Open, options.title});
  lastFileOptions_ = options;
  if (opens_.empty()) {
    ADD_FAILURE() << "unexpected open dialog \"" << options.title << '"';
    return {};
  }
  auto paths = std::move(opens_.front());
  opens_.pop_front();
  return paths;
}

std::optional<std::filesystem::path> FakeDialogs::saveFile(const FileDialogOptions& options) {
  shown_.push_back({Kind::Save, options.title});
  lastFileOptions_ = options;
  if (saves_.empty()) {
    ADD_FAILURE() << "unexpected save dialog \"" << options.title << '"';
    return std::nullopt;
  }
  auto path = std::move(saves_.front());
  saves_.pop_front();
  return path;
}

std::optional<std::uint32_t> FakeDialogs::chooseColour(std::uint32_t initial) {
  shown_.push_back({Kind::Colour, std::to_string(initial)});
  if (colours_.empty()) {
    ADD_FAILURE() << "unexpected colour dialog";
    return std::nullopt;
  }
  auto colour = colours_.front();
  colours_.pop_front();
  return colour;
}

std::optional<std::filesystem::path> FakeDialogs::chooseFolder(
    const std::string& title, const std::filesystem::path& /*start*/) {
  shown_.push_back({Kind::Folder, title});
  if (folders_.empty()) {
    ADD_FAILURE() << "unexpected folder browser \"" << title << '"';
    return std::nullopt;
  }
  auto folder = std::move(folders_.front());
  folders_.pop_front();
  return folder;
}

}  // namespace scrivle::test
