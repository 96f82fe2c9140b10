// Compression of a calculator text file into a compressed variable.
#pragma once

#include <filesystem>

namespace scrivle {

class Dialogs;

// Compresses the calculator file at path beside it; reports through dialogs.
void ZipFile(const std::filesystem::path& path, Dialogs& dialogs);

}  // namespace scrivle
