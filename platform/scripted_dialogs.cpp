#include "platform/scripted_dialogs.h"

#include <cstdlib>
#include <fstream>
#include <utility>

#include "platform/arguments.h"
#include "platform/files.h"

namespace fs = std::filesystem;

namespace scrivle {

namespace {

std::string escaped(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '\r':
        out += "\\r";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\\':
        out += "\\\\";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::optional<fs::path> pathAnswer(const std::optional<std::string>& argument) {
  if (!argument || argument->empty()) {
    return std::nullopt;
  }
  return pathFromUtf8(*argument);
}

}  // namespace

ScriptedDialogs::ScriptedDialogs(const fs::path& script, fs::path log) : log_(std::move(log)) {
  std::ifstream in(script);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') {
      line.pop_back();
    }
    if (line.empty() || line.front() == '#') {
      continue;
    }
    const std::size_t space = line.find(' ');
    if (space == std::string::npos) {
      answers_.emplace_back(line, std::string());
    } else {
      answers_.emplace_back(line.substr(0, space), line.substr(space + 1));
    }
  }
}

std::unique_ptr<ScriptedDialogs> ScriptedDialogs::fromEnvironment() {
  const std::string script = environmentValue("SCRIVLE_TEST_DIALOGS");
  if (script.empty()) {
    return nullptr;
  }
  return std::make_unique<ScriptedDialogs>(pathFromUtf8(script), pathFromUtf8(script + ".log"));
}

std::optional<std::string> ScriptedDialogs::take(const std::string& kind, const std::string& text) {
  if (answers_.empty() || answers_.front().first != kind) {
    log("unexpected " + kind + ": " + escaped(text));
    return std::nullopt;
  }
  std::string argument = std::move(answers_.front().second);
  answers_.pop_front();
  return argument;
}

void ScriptedDialogs::log(const std::string& line) const {
  // Opened per line and flushed at once: the process may end right after a box.
  std::ofstream out(log_, std::ios::app | std::ios::binary);
  out << line << '\n';
}

void ScriptedDialogs::message(const std::string& text) {
  if (take("message", text)) {
    log("message: " + escaped(text));
  }
}

void ScriptedDialogs::error(const std::string& text) {
  if (take("error", text)) {
    log("error: " + escaped(text));
  }
}

Answer ScriptedDialogs::confirm(const std::string& text, bool withCancel) {
  const std::optional<std::string> argument = take("confirm", text);
  if (!argument) {
    return withCancel ? Answer::Cancel : Answer::No;
  }
  Answer answer = Answer::Cancel;
  if (*argument == "yes") {
    answer = Answer::Yes;
  } else if (*argument == "no" || !withCancel) {
    answer = Answer::No;
  }
  static constexpr const char* kNames[] = {"yes", "no", "cancel"};
  log("confirm: " + escaped(text) + " => " + kNames[static_cast<int>(answer)]);
  return answer;
}

std::vector<fs::path> ScriptedDialogs::openFiles(const FileDialogOptions& options) {
  const std::optional<std::string> argument = take("open", options.title);
  if (!argument) {
    return {};
  }
  const std::optional<fs::path> chosen = pathAnswer(argument);
  log("open: " + escaped(options.title) + " => " + (chosen ? pathToUtf8(*chosen) : "cancel"));
  if (!chosen) {
    return {};
  }
  return {*chosen};
}

std::optional<fs::path> ScriptedDialogs::saveFile(const FileDialogOptions& options) {
  const std::optional<std::string> argument = take("save", options.title);
  if (!argument) {
    return std::nullopt;
  }
  std::optional<fs::path> chosen = pathAnswer(argument);
  log("save: " + escaped(options.title) + " => " + (chosen ? pathToUtf8(*chosen) : "cancel"));
  return chosen;
}

std::optional<std::uint32_t> ScriptedDialogs::chooseColour(std::uint32_t initial) {
  const std::optional<std::string> argument = take("colour", std::to_string(initial));
  if (!argument) {
    return std::nullopt;
  }
  log("colour: " + std::to_string(initial) + " => " + (argument->empty() ? "cancel" : *argument));
  if (argument->empty()) {
    return std::nullopt;
  }
  return static_cast<std::uint32_t>(std::strtoul(argument->c_str(), nullptr, 0));
}

std::optional<fs::path> ScriptedDialogs::chooseFolder(const std::string& title,
                                                      const fs::path& /*start*/) {
  const std::optional<std::string> argument = take("folder", title);
  if (!argument) {
    return std::nullopt;
  }
  std::optional<fs::path> chosen = pathAnswer(argument);
  log("folder: " + escaped(title) + " => " + (chosen ? pathToUtf8(*chosen) : "cancel"));
  return chosen;
}

}  // namespace scrivle
