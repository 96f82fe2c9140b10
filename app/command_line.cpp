#include "app/command_line.h"

#include <system_error>

#include "platform/files.h"

namespace scrivle {

StartRequest parseCommandLine(const std::vector<std::string>& args) {
  StartRequest r;
  if (args.empty()) return r;
  if (args[0] == "/zip") {
    r.kind = StartRequest::Zip;
    if (args.size() > 1) r.path = pathFromUtf8(args[1]);
    return r;
  }
  if (args[0] == "/preview") {
    r.kind = StartRequest::Preview;
    r.previewArgs.assign(args.begin() + 1, args.end());
    return r;
  }
  if (args[0] == "/new") {
    r.kind = StartRequest::New;
    return r;
  }
  std::error_code ec;
  const std::filesystem::path given = pathFromUtf8(args[0]);
  if (!args[0].empty() && std::filesystem::is_regular_file(given, ec)) {
    r.kind = StartRequest::Open;
    r.path = std::filesystem::absolute(given, ec);
    if (ec) r.path = given;
  }
  return r;
}

}  // namespace scrivle
