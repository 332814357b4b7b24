#include "driver/prune.h"

#include <algorithm>
#include <set>
#include <string_view>

#include "platform/fs.h"
#include "platform/remove.h"
#include "platform/served_files.h"
#include "platform/sink.h"
#include "platform/text.h"

namespace mt {

namespace {

std::string with_slashes(std::string path) {
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}

// The manifest is a file in the output folder that anyone may have edited:
// only plain relative paths inside the folder are taken from it.
bool plain_relative(std::string_view path) {
  if (path.empty() || leaves_folder(path)) return false;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find('/', start);
    if (end == std::string_view::npos) end = path.size();
    std::string_view part = path.substr(start, end - start);
    if (part.empty() || part == ".") return false;
    start = end + 1;
  }
  return path != kManifestName;
}

// The native paths of the folders between the root and the file, outermost
// first; empty when one of them is not a real folder (a link could lead
// anywhere).
bool real_folders(const std::string& root, std::string_view path, std::vector<std::string>* folders) {
  std::string folder = root;
  size_t start = 0;
  for (size_t slash = path.find('/'); slash != std::string_view::npos; slash = path.find('/', start)) {
    folder = join_path(folder, path.substr(start, slash - start));
    if (entry_kind(folder) != EntryKind::kFolder) return false;
    folders->push_back(folder);
    start = slash + 1;
  }
  return true;
}

void remove_stale(const std::string& root, const std::string& path, Diagnostics& diag) {
  std::vector<std::string> folders;
  if (!real_folders(root, path, &folders)) return;
  // Manifest lines separate with '/' on every platform.
  std::string native = join_path(folders.empty() ? root : folders.back(), path.substr(path.rfind('/') + 1));
  EntryKind kind = entry_kind(native);
  if (kind == EntryKind::kNone || kind == EntryKind::kFolder) return;
  if (!remove_file(native)) {
    diag.report({}, Msg::remove_failed, native);
    return;
  }
  for (auto it = folders.rbegin(); it != folders.rend(); ++it) {
    if (!folder_is_empty(*it) || !remove_empty_folder(*it)) break;
  }
}

}  // namespace

void prune_output(const std::string& output_root, const std::vector<std::string>& written, Diagnostics& diag) {
  std::set<std::string> now;
  // Compared without case too: on a file system that ignores case, a page
  // renamed only in case is the file this run just wrote.
  std::set<std::string> now_lowered;
  for (const std::string& path : written) {
    now.insert(with_slashes(path));
    now_lowered.insert(ascii_lower(with_slashes(path)));
  }

  const std::string manifest = join_path(output_root, kManifestName);
  std::string previous;
  // The output folder is seldom inside the working folder, where source
  // reads are confined: the manifest is read as a file of the output folder.
  const std::string canonical_root = canonical_folder(output_root);
  std::string read_name;
  if (!canonical_root.empty() && read_served_file(canonical_root, kManifestName, &previous, &read_name)) {
    std::string_view text = previous;
    while (!text.empty()) {
      size_t end = text.find('\n');
      std::string_view line = text.substr(0, end);
      text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
      if (line.ends_with('\r')) line.remove_suffix(1);
      if (plain_relative(line) && !now_lowered.contains(ascii_lower(line)))
        remove_stale(output_root, std::string(line), diag);
    }
  }

  // The new list replaces the old one only when it is whole, so a failed
  // write never forgets files that a later run should prune.
  const std::string temporary = manifest + ".tmp";
  FileSink out;
  bool written_ok = out.open(temporary);
  if (written_ok) {
    for (const std::string& path : now) {
      out.write(path);
      out.write("\n");
    }
    written_ok = out.close();
  }
  if (!written_ok || !replace_file(temporary, manifest)) {
    if (entry_kind(temporary) == EntryKind::kFile) remove_file(temporary);
    diag.report({}, Msg::write_file_failed, manifest);
  }
}

}  // namespace mt
