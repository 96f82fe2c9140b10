#include "desktop/shell.h"

#include <filesystem>
#include <optional>
#include <system_error>

#include "document/tifile.h"
#include "platform/files.h"
#include "platform/system.h"
#include "settings/persistence.h"

namespace scrivle {

namespace {

constexpr RegRoot kClasses = RegRoot::ClassesRoot;

// A string value as the shell registration reads it: a value of another type cannot be
// read as a string, which the rules treat like any unreadable value.
struct StringRead {
  enum class State { Absent, Text, Failed } state = State::Absent;
  std::string text;
};

StringRead readString(Registry& registry, std::string_view key, std::string_view name) {
  try {
    const std::optional<RegValue> v = registry.read(kClasses, key, name);
    if (!v) return {};
    if (!v->isString()) return {StringRead::State::Failed, {}};
    return {StringRead::State::Text, v->data};
  } catch (const RegistryError&) {
    return {StringRead::State::Failed, {}};
  }
}

bool equalsString(Registry& registry, std::string_view key, std::string_view name,
                  std::string_view expected) {
  const StringRead r = readString(registry, key, name);
  return r.state == StringRead::State::Text && r.text == expected;
}

std::size_t dataSize(const RegValue& v) {
  if (v.isString()) return v.data.size() + 1;  // stored with its terminating zero
  if (v.type == RegType::Dword) return 4;
  return v.data.size();
}

bool hasValue(Registry& registry, std::string_view key, std::string_view name) {
  return registry.read(kClasses, key, name).has_value();
}

// Scrivle's new-file entry: its "Command" is Scrivle's (or cannot be read, when
// `unreadableIsScrivles`), or it has no "Command" and offers Scrivle's own empty text.
bool shellNewIsScrivles(Registry& registry, std::string_view ext, const std::string& installDir,
                        bool unreadableIsScrivles) {
  const std::string key = shellNewKey(ext);
  if (!registry.keyExists(kClasses, key)) return false;
  const StringRead command = readString(registry, key, "Command");
  if (command.state == StringRead::State::Failed) return unreadableIsScrivles;
  if (command.state == StringRead::State::Text) return command.text == shellNewCommand(installDir);
  try {
    const std::optional<RegValue> data = registry.read(kClasses, key, "Data");
    return data && data->type == RegType::Binary && data->data == emptyTemplate();
  } catch (const RegistryError&) {
    return false;
  }
}

void associate(Registry& registry, std::string_view ext) {
  const std::string key = extensionKey(ext);
  registry.createKey(kClasses, key);
  if (extensionOwnedByOther(registry, ext)) {
    // The other program's type is kept aside; "TI-Text" follows on a later Apply, once
    // the default value is found empty.
    moveClassesValue(registry, key, "", "Old");
  } else {
    registry.write(kClasses, key, "", RegValue::ofString(std::string(kShellFileType)));
  }
  const std::optional<RegValue> content = registry.read(kClasses, key, "Content Type");
  if (!content) {
    registry.write(kClasses, key, "Content Type",
                   RegValue::ofString(std::string(kShellContentType)));
  } else if (!(content->isString() && content->data == kShellContentType)) {
    moveClassesValue(registry, key, "Content Type", "Old Content");
  }
}

// Gives the extension back to the program that had it, or removes it when none did.
void restoreExtension(Registry& registry, std::string_view ext) {
  const std::string key = extensionKey(ext);
  if (!registry.keyExists(kClasses, key) || extensionOwnedByOther(registry, ext)) return;
  if (hasValue(registry, key, "Old Content")) {
    moveClassesValue(registry, key, "Old Content", "Content Type");
  }
  if (hasValue(registry, key, "Old")) {
    moveClassesValue(registry, key, "Old", "");
  } else {
    registry.deleteKey(kClasses, key);
  }
}

// A verb is written while its flag is set; otherwise removed when it is Scrivle's line
// (or unreadable), so another program's command of the same name stays.
void syncVerb(Registry& registry, bool on, std::string_view verbKey, std::string_view commandKey,
              const std::string& command) {
  if (on) {
    registry.write(kClasses, commandKey, "", RegValue::ofString(command));
    return;
  }
  if (!registry.keyExists(kClasses, commandKey)) return;
  const StringRead r = readString(registry, commandKey, "");
  if (r.state == StringRead::State::Failed ||
      (r.state == StringRead::State::Text && r.text == command)) {
    registry.deleteKey(kClasses, verbKey);
  }
}

void removeScrivleShellNew(Registry& registry, const std::string& installDir) {
  for (std::string_view ext : kShellExtensions) {
    if (shellNewIsScrivles(registry, ext, installDir, true)) {
      registry.deleteKey(kClasses, shellNewKey(ext));
    }
  }
}

}  // namespace

std::string shellOpenCommand(std::string_view installDir) {
  return std::string(installDir) + "\\Scrivle.exe \"%1\"";
}

std::string shellZipCommand(std::string_view installDir) {
  return std::string(installDir) + "\\Scrivle.exe /zip \"%1\"";
}

std::string shellNewCommand(std::string_view installDir) {
  return std::string(installDir) + "\\Scrivle.exe /new";
}

std::string extensionKey(std::string_view ext) {
  return "\\." + std::string(ext);
}

std::string shellNewKey(std::string_view ext) {
  return extensionKey(ext) + "\\ShellNew";
}

bool moveClassesValue(Registry& registry, std::string_view key, std::string_view from,
                      std::string_view to) {
  const std::optional<RegValue> source = registry.read(kClasses, key, from);
  if (!source || registry.read(kClasses, key, to) || dataSize(*source) == 0) return false;
  registry.write(kClasses, key, to, *source);
  registry.deleteValue(kClasses, key, from);
  return true;
}

bool extensionOwnedByOther(Registry& registry, std::string_view ext) {
  std::optional<RegValue> v;
  try {
    v = registry.read(kClasses, extensionKey(ext), "");
  } catch (const RegistryError&) {
    return true;  // what cannot be read is not known to be Scrivle's
  }
  if (!v) return false;
  if (v->isString()) return !v->data.empty() && v->data != kShellFileType;
  return dataSize(*v) > 0;
}

ShellState readShellState(Registry& registry, std::string_view installDir) {
  const std::string dir(installDir);
  ShellState state;
  for (std::size_t i = 0; i < kShellExtensions.size(); ++i) {
    const std::string key = extensionKey(kShellExtensions[i]);
    state.associated[i] =
        registry.keyExists(kClasses, key) && equalsString(registry, key, "", kShellFileType);
    state.newFile[i] = shellNewIsScrivles(registry, kShellExtensions[i], dir, false);
  }
  state.ouvrir = equalsString(registry, kOuvrirCommandKey, "", shellOpenCommand(dir));
  state.zip = equalsString(registry, kZipCommandKey, "", shellZipCommand(dir));
  return state;
}

void deriveShellFlags(Registry& registry, TParametre& settings) {
  const ShellState state = readShellState(registry, settings.InstallDir);
  settings.Asso89 = toFlag(state.associated[0]);
  settings.Asso92 = toFlag(state.associated[1]);
  settings.Asso9x = toFlag(state.associated[2]);
  settings.MenuOuvrir = toFlag(state.ouvrir);
  settings.MenuZipper = toFlag(state.zip);
  settings.MenuNouveau = toFlag(state.newFile[0] || state.newFile[1] || state.newFile[2]);
}

void registerShell(Registry& registry, const TParametre& settings) {
  RegistryBatch batch(registry);
  const std::array<Flag, 3> asso = {settings.Asso89, settings.Asso92, settings.Asso9x};
  for (std::size_t i = 0; i < kShellExtensions.size(); ++i) {
    if (isSet(asso[i])) {
      associate(registry, kShellExtensions[i]);
    } else {
      restoreExtension(registry, kShellExtensions[i]);
    }
  }
  registry.createKey(kClasses, kFileTypeKey);
  if (isSet(settings.Asso89) || isSet(settings.Asso92) || isSet(settings.Asso9x)) {
    syncVerb(registry, isSet(settings.MenuOuvrir), kOuvrirKey, kOuvrirCommandKey,
             shellOpenCommand(settings.InstallDir));
    syncVerb(registry, isSet(settings.MenuZipper), kZipKey, kZipCommandKey,
             shellZipCommand(settings.InstallDir));
    removeScrivleShellNew(registry, settings.InstallDir);
    if (isSet(settings.MenuNouveau)) {
      registry.write(kClasses, shellNewKey(settings.DefaultExt), "Data",
                     RegValue::ofBinary(emptyTemplate()));
    }
  }
  batch.commit();
}

void uninstallScrivle(Registry& registry, const TParametre& settings) {
  {
    RegistryBatch batch(registry);
    try {
      registry.deleteKey(RegRoot::LocalMachine, kAppPathsKey);
    } catch (const RegistryError&) {
      // The machine-wide hive may be closed to this user: the rest goes on.
    }
    registry.deleteKey(RegRoot::CurrentUser, kInstallKey);
    removeScrivleShellNew(registry, settings.InstallDir);
    for (std::string_view ext : kShellExtensions) restoreExtension(registry, ext);
    registry.deleteKey(kClasses, kFileTypeKey);
    batch.commit();
  }
  // On Windows, the folder the program was installed in, removed when it is empty.
  // Elsewhere InstallDir is only the folder that was current at the last Apply: a folder
  // of the person's own, which Scrivle did not create and never deletes.
  if constexpr (os::kWindows) {
    std::error_code ec;
    std::filesystem::remove(pathFromUtf8(settings.InstallDir), ec);
  }
}

}  // namespace scrivle
