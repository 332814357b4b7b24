// Path text helpers common to every platform.

#include "platform/fs.h"

namespace mt {

std::string join_path(std::string_view folder, std::string_view name) {
  if (folder.empty()) return std::string(name);
  std::string p(folder);
  p.push_back(kSep);
  p.append(name);
  return p;
}

std::string_view file_name_of(std::string_view path) {
  size_t s = path.rfind(kSep);
  return s == std::string_view::npos ? path : path.substr(s + 1);
}

}  // namespace mt
