#include "platform/served_files.h"

#include <filesystem>
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

std::unique_ptr<ServedFile> open_served_file(const std::string& root, const std::string& relative, std::string* name) {
  std::error_code error;
  const fs::path base = to_path(root);
  // The link check comes after following every link, so a link that leads
  // out of the folder serves nothing, wherever in the path it sits.
  fs::path file = fs::canonical(base / to_path(relative), error);
  if (error || !is_within(file, base)) return nullptr;
  if (fs::is_directory(file, error)) {
    file = fs::canonical(file / "index.html", error);
    if (error || !is_within(file, base)) return nullptr;
  }
  // Opening a FIFO would wait for a writer, and opening a device can act on
  // it: only what is a regular file now is opened (and checked again once
  // open, in case it was replaced meanwhile).
  if (!fs::is_regular_file(file, error)) return nullptr;
  std::unique_ptr<ServedFile> opened = ServedFile::open(from_path(file));
  if (opened) *name = from_path(file.filename());
  return opened;
}

bool read_served_file(const std::string& root, const std::string& relative, std::string* contents, std::string* name) {
  std::unique_ptr<ServedFile> file = open_served_file(root, relative, name);
  if (!file) return false;
  constexpr size_t kPiece = 1 << 16;
  contents->clear();
  for (;;) {
    const size_t had = contents->size();
    contents->resize(had + kPiece);
    const std::ptrdiff_t got = file->read_at(had, contents->data() + had, kPiece);
    contents->resize(had + (got > 0 ? static_cast<size_t>(got) : 0));
    if (got <= 0) return got == 0;
  }
}

}  // namespace mt
