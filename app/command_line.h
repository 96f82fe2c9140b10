// What the command line asks for. Only the first two arguments are looked at;
// "/new" and "/zip" are compared exactly, letter case included.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace scrivle {

struct StartRequest {
  enum Kind { Normal, New, Zip, Open } kind = Normal;
  std::filesystem::path path;  // Zip: the file to compress (may be empty); Open: the file
};

// args excludes the program name. fileExists decides the "existing file" form.
StartRequest parseCommandLine(const std::vector<std::string>& args);

}  // namespace scrivle
