// Path text helpers common to every platform.

#include "platform/fs.h"

#include "platform/names.h"

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

void SourceResolver::add(Listing& names, std::string name) {
  std::string key(name);
  for (char& c : key) c = fold(c);
  auto [slot, fresh] = names.try_emplace(std::move(key), name);
  if (!fresh && name_less(name, slot->second)) slot->second = std::move(name);
}

const std::string* SourceResolver::find(const std::string& parent, std::string_view name) {
  const Listing& names = listing(parent);
  std::string key(name);
  for (char& c : key) c = fold(c);
  auto it = names.find(key);
  return it == names.end() ? nullptr : &it->second;
}

}  // namespace mt
