// What the command line asks for. Only the first two arguments are looked at, except
// after "/preview", which takes up to three; "/new", "/zip" and "/preview" are compared
// exactly, letter case included.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace scrivle {

struct StartRequest {
  enum Kind { Normal, New, Zip, Open, Preview } kind = Normal;
  std::filesystem::path path;            // Zip: the file to compress (may be empty); Open: the file
  std::vector<std::string> previewArgs;  // Preview: FILE OUT.png [89|92], as given
};

// args excludes the program name. fileExists decides the "existing file" form.
StartRequest parseCommandLine(const std::vector<std::string>& args);

}  // namespace scrivle
