// Path text helpers common to every platform.

#include "platform/fs.h"

#include <functional>
#include <string_view>

#include "platform/fs_native.h"
#include "platform/names.h"
#include "platform/remove.h"

namespace mt {

std::string join_path(std::string_view folder, std::string_view name) {
  if (folder.empty()) return std::string(name);
  std::string p(folder);
  p.push_back('/');
  p.append(name);
  return p;
}

std::string_view file_name_of(std::string_view path) {
  size_t s = path.find_last_of(native::kSeparators);
  return s == std::string_view::npos ? path : path.substr(s + 1);
}

std::string generic_path(std::string_view path) {
  std::string generic(path);
  for (char& c : generic) {
    if (std::string_view(native::kSeparators).find(c) != std::string_view::npos) c = '/';
  }
  return generic;
}

std::string display_path(std::string_view path) {
  std::string shown(path);
  for (char& c : shown) {
    if (c == '/') c = native::kShownSeparator;
  }
  return shown;
}

bool has_reserved_name_byte(std::string_view path) {
  return path.find_first_of(native::kReservedNameBytes) != std::string_view::npos;
}

std::string SourceRoot::path_of(std::string_view rel) const {
  if (path_.empty() || native::is_absolute(rel)) return std::string(rel);
  if (rel.empty()) return path_;
  return join_path(path_, rel);
}

void SourceRoot::add(Listing& names, std::string name) {
  std::string key(name);
  for (char& c : key) c = fold(c);
  auto [slot, fresh] = names.try_emplace(std::move(key), name);
  if (!fresh && name_less(name, slot->second)) slot->second = std::move(name);
}

const std::string* SourceRoot::find(const std::string& parent, std::string_view name) {
  const Listing& names = listing(parent);
  std::string key(name);
  for (char& c : key) c = fold(c);
  auto it = names.find(key);
  return it == names.end() ? nullptr : &it->second;
}

namespace {

// The entry of `parent` equal to `name` without case, or null.
using FindEntry = std::function<const std::string*(const std::string& parent, std::string_view name)>;

// Resolves `path` below `root` component by component through `find`:
// `path` itself when it exists as written or some component is not found.
std::string resolve_with(const SourceRoot& root, const std::string& path, const FindEntry& find) {
  if (path.empty() || native::entry_exists(root.path_of(path))) return path;
  auto is_separator = [](char c) { return std::string_view(native::kSeparators).find(c) != std::string_view::npos; };
  std::string resolved;
  size_t pos = 0;
  while (pos <= path.size()) {
    size_t end = path.find_first_of(native::kSeparators, pos);
    if (end == std::string::npos) end = path.size();
    std::string_view component(path.data() + pos, end - pos);
    // Empty components (a leading, doubled or trailing separator), "." / ".."
    // and a drive name no entry to match: they are kept as written.
    bool plain = !component.empty() && component != "." && component != ".." && !native::is_drive(component);
    std::string exact = resolved + std::string(component);
    if (plain && !native::entry_exists(root.path_of(exact))) {
      // The parent is `resolved` without its trailing separator, but for a
      // root ("/", "\\", "c:\\"), which keeps it.
      std::string parent = resolved;
      if (!parent.empty() && is_separator(parent.back())) parent.pop_back();
      if (native::is_drive(parent) || (parent.empty() && pos > 0)) parent.push_back('/');
      const std::string* match = find(parent, component);
      if (!match) return path;
      resolved.append(*match);
    } else {
      resolved = std::move(exact);
    }
    if (end == path.size()) break;
    resolved.push_back(path[end]);
    pos = end + 1;
  }
  return resolved;
}

}  // namespace

namespace native {

std::string resolve_no_case(const SourceRoot& root, const std::string& path) {
  std::optional<std::string> found;
  return resolve_with(root, path, [&](const std::string& parent, std::string_view name) -> const std::string* {
    found = find_entry_no_case(root.path_of(parent), name);
    return found ? &*found : nullptr;
  });
}

}  // namespace native

std::string SourceRoot::resolve(const std::string& rel) {
  const std::lock_guard<std::mutex> lock(mutex_);
  return resolve_with(*this, rel,
                      [this](const std::string& parent, std::string_view name) { return find(parent, name); });
}

bool SourceRoot::exists(const std::string& rel) {
  // The entry itself counts, as when its attributes can be read: a dangling
  // link exists and then fails to open, where the failure is reported.
  // Resolution returns another path only when every component was found.
  return native::entry_exists(path_of(rel)) || resolve(rel) != rel;
}

int error_number(const FsError& error) {
  // POSIX's numbers, which the messages have always shown.
  switch (error.kind) {
    case FsError::Kind::kNotFound: return 2;
    case FsError::Kind::kNotFolder: return 20;
    case FsError::Kind::kIsFolder: return 21;
    case FsError::Kind::kDenied: return 13;
    default: return error.code;
  }
}

OutputFolder make_output_folder(const std::string& path, bool parent_new) {
  // Making a folder never follows a link standing at its place: it fails.
  FsError ignored;
  if (parent_new && make_new_folder(path, &ignored)) return OutputFolder::kNew;
  // A link where an output folder goes would carry the pages written into
  // it out of the output folder.
  const EntryKind kind = entry_kind(path);
  // Nearly always there from the last run: one query and nothing more.
  if (kind == EntryKind::kFolder) return OutputFolder::kMade;
  const bool link = kind == EntryKind::kLink;
  if (link && !remove_link(path)) return OutputFolder::kLinkKept;
  if (make_new_folder(path, &ignored)) return link ? OutputFolder::kReplaced : OutputFolder::kNew;
  return link ? OutputFolder::kReplaced : OutputFolder::kMade;
}

bool link_on_the_way(const std::string& root, std::string_view relative) {
  for (size_t sep = relative.find_first_of(native::kSeparators); sep != std::string_view::npos;
       sep = relative.find_first_of(native::kSeparators, sep + 1)) {
    if (entry_kind(join_path(root, relative.substr(0, sep))) == EntryKind::kLink) return true;
  }
  return false;
}

}  // namespace mt
