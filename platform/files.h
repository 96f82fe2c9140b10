// Reading and saving document files safely, the auto-save folder, and the path pieces
// the document windows keep (directory with its trailing separator, file name, ...).
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "platform/errors.h"

namespace scrivle {

// A path held in a std::string is UTF-8 on every system: these two are the only way
// between the two (path::string() and path(std::string) use the ANSI code page on
// Windows, where a Greek name does not survive).
std::string pathToUtf8(const std::filesystem::path& path);
std::filesystem::path pathFromUtf8(std::string_view utf8);

// The whole file, byte for byte. Throws ScrivleError "Impossible d'ouvrir le fichier %s"
// when it cannot be opened and "Erreur de lecture du fichier %s" when reading fails.
std::string readFile(const std::filesystem::path& path);

// Replaces the content of `target` so that a failure never leaves it half written: the
// bytes go to a temporary file beside the real file (a symbolic link is followed and
// stays a link), which is flushed to disk and then renamed over it. The temporary file
// takes the target's permissions and owner and its name never ends in ".tmp". When the
// folder refuses new files but the file itself is writable, the file is rewritten in
// place instead, room for a longer content being taken before any old byte is overwritten.
// Throws ScrivleError "Impossible de créer le fichier %s" when the file
// cannot be created (or an existing one is read-only) and "Erreur d'écriture dans le
// fichier %s" when writing fails; the temporary file is removed in both cases.
void writeFileAtomically(const std::filesystem::path& target, std::string_view bytes);

// A fresh name for the save's own temporary file beside `real`: hidden
// (".<name>.scrivle-save-XXXXXX") and never ending in ".tmp", so that auto-save recovery
// can never take it for a document.
std::filesystem::path saveTempName(const std::filesystem::path& real);

// Whether this user may write the existing file `path`, as the system answers before
// any attempt (false for a read-only file, and for a missing one).
bool isWritable(const std::filesystem::path& path);

// Past a file-size limit a write must fail with an error the save reports, not end the
// program with every open document: called once at start-up.
void writesPastTheSizeLimitFail();

// The real file a path names once symbolic links are followed (the path itself when it
// is not a link; a dangling link gives the file it would create).
std::filesystem::path resolveLinks(const std::filesystem::path& path);

// Where documents are auto-saved: $XDG_STATE_HOME/Scrivle (~/.local/state/Scrivle when
// unset) on Linux, %LOCALAPPDATA%\Scrivle on Windows. Kept apart from every other
// program's files because start-up recovers and deletes each ".tmp" file there.
std::filesystem::path autoSaveDir();
// autoSaveDir(), created (private to the user) when missing. Throws ScrivleError
// "Impossible de créer le fichier %s" when it cannot be created.
std::filesystem::path ensureAutoSaveDir();

// dir/fileName.tmp, or dir/fileName~N.tmp (N = 2, 3, ...) for the first N whose name no
// other open document uses, so that two documents never share an auto-save file.
std::filesystem::path uniqueTempName(
    const std::filesystem::path& dir, const std::string& fileName,
    const std::function<bool(const std::filesystem::path&)>& inUseByAnotherDocument);

// The document's file name from an auto-save file name: "essai.89t.tmp" and
// "essai.89t~2.tmp" both give "essai.89t". A name without ".tmp" comes back unchanged.
std::string stripTmpSuffix(const std::string& tmpFileName);

// The directory with the platform's separator at its end ("" stays "").
std::string withTrailingSeparator(const std::string& dir);
// The extension in lower case, with its dot (".9xt"); "" when there is none.
std::string lowerExtension(const std::filesystem::path& path);
// "essai.89t" for ".../essai.89t".
std::string fileNamePart(const std::filesystem::path& path);
// The folder of a path, ending in the separator ("" for a bare file name).
std::string folderPart(const std::filesystem::path& path);

}  // namespace scrivle
