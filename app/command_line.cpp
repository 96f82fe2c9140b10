#include "app/command_line.h"

#include <system_error>

namespace scrivle {

StartRequest parseCommandLine(const std::vector<std::string>& args) {
  StartRequest r;
  if (args.empty()) return r;
  if (args[0] == "/zip") {
    r.kind = StartRequest::Zip;
    if (args.size() > 1) r.path = args[1];
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
  if (!args[0].empty() && std::filesystem::is_regular_file(args[0], ec)) {
    r.kind = StartRequest::Open;
    r.path = std::filesystem::absolute(args[0], ec);
    if (ec) r.path = args[0];
  }
  return r;
}

}  // namespace scrivle
