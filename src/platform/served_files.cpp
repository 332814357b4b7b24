#include "platform/served_files.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace fs = std::filesystem;

namespace mt {

namespace {

// Paths are UTF-8 everywhere in the tool; std::filesystem converts them to
// the platform's own form when told they are UTF-8.
fs::path to_path(const std::string& text) { return fs::path(std::u8string(text.begin(), text.end())); }

std::string from_path(const fs::path& path) {
  std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

// Whether `path` is `root` or lies below it, compared component by
// component so "/site2" is not taken to be inside "/site".
bool is_within(const fs::path& path, const fs::path& root) {
  auto p = path.begin();
  for (auto r = root.begin(); r != root.end(); ++r, ++p) {
    if (r->empty() && std::next(r) == root.end()) break;  // a root's trailing separator
    if (p == path.end() || *p != *r) return false;
  }
  return true;
}

}  // namespace

std::string canonical_folder(const std::string& folder) {
  std::error_code error;
  fs::path path = fs::canonical(to_path(folder), error);
  if (error || !fs::is_directory(path, error)) return {};
  return from_path(path);
}

bool read_served_file(const std::string& root, const std::string& relative, std::string* contents, std::string* name) {
  std::error_code error;
  const fs::path base = to_path(root);
  // The link check comes after following every link, so a link that leads
  // out of the folder serves nothing, wherever in the path it sits.
  fs::path file = fs::canonical(base / to_path(relative), error);
  if (error || !is_within(file, base)) return false;
  if (fs::is_directory(file, error)) {
    file = fs::canonical(file / "index.html", error);
    if (error || !is_within(file, base)) return false;
  }
  if (!fs::is_regular_file(file, error)) return false;
  std::ifstream in(file, std::ios::binary);
  if (!in) return false;
  contents->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (in.bad()) return false;
  *name = from_path(file.filename());
  return true;
}

}  // namespace mt
