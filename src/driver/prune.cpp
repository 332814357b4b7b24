#include "driver/prune.h"

#include <cstdint>
#include <optional>
#include <set>
#include <utility>

#include "platform/fs.h"
#include "platform/remove.h"
#include "site/manifest.h"

namespace mt {

namespace {

// Errors of reading the sources: the language files, templates, support
// pages, CSV tables, the shared page text and the configuration. After one,
// the run may have left out pages that it would otherwise have written.
constexpr Msg kSourceErrors[] = {
    Msg::no_language_file, Msg::unsafe_code, Msg::source_outside_site,    Msg::language_name_unset, Msg::unsafe_path,
    Msg::unsafe_character, Msg::cant_open,   Msg::previous_versions_loop, Msg::config_unsafe_value,
};

// Errors after which a file this run meant to write may still be an older
// file, or one the owner put there.
constexpr Msg kOutputErrors[] = {
    Msg::create_failed, Msg::write_failed, Msg::write_over_source, Msg::copy_failed, Msg::copy_outside_site,
};

template <size_t N>
int count_of(const Diagnostics& diag, const Msg (&ids)[N]) {
  int total = 0;
  for (Msg id : ids) total += diag.count(id);
  return total;
}

// The records of the files this run wrote. When a write may have failed,
// only a file that still matches its old record is known to be the tool's.
Manifest records_of(const std::string& root, const std::set<std::string>& written, const Manifest& previous,
                    bool trusted, const std::set<std::string>& as_left) {
  Manifest records;
  for (const std::string& path : written) {
    if (auto old = previous.find(path); old != previous.end() && old->second && as_left.contains(path)) {
      records[path] = old->second;  // the file is as the run that recorded it left it
      continue;
    }
    FileDigest digest;
    if (!file_digest(join_path(root, path), &digest)) continue;
    auto old = previous.find(path);
    if (trusted || (old != previous.end() && old->second == digest)) records[path] = digest;
  }
  return records;
}

using Identities = std::set<std::pair<uint64_t, uint64_t>>;

Identities identities_of(const std::string& root, const std::set<std::string>& written) {
  Identities ids;
  for (const std::string& path : written) {
    FileId id;
    if (file_id(join_path(root, path), &id)) ids.emplace(id.device, id.number);
  }
  return ids;
}

// Removes what the previous manifest lists and this run did not write; a
// file that could not be removed stays in `next`, for a later run.
void remove_stale(const std::string& root, const std::set<std::string>& written, const Manifest& previous,
                  Manifest& next, Diagnostics& diag, ChangeList* changes) {
  std::optional<Identities> written_ids;
  for (const auto& [path, record] : previous) {
    if (written.contains(path)) continue;
    const std::string file = join_path(root, path);
    if (!record) {
      if (entry_kind(file) != EntryKind::kNone) diag.report({}, Msg::prune_kept_unrecorded, PathArg{file});
      continue;
    }
    // Where the file system ignores case (or folds names otherwise), an old
    // name may be the very file this run wrote under its new name.
    FileId id;
    if (file_id(file, &id)) {
      if (!written_ids) written_ids = identities_of(root, written);
      if (written_ids->contains({id.device, id.number})) continue;
    }
    switch (remove_output_file(root, path, *record)) {
      case Removal::kRemoved:
        if (changes) changes->note_removed(path);
        break;
      case Removal::kMissing: break;
      case Removal::kThroughLink: diag.report({}, Msg::prune_kept_link, PathArg{file}); break;
      case Removal::kChanged: diag.report({}, Msg::prune_kept_changed, PathArg{file}); break;
      case Removal::kFailed:
        diag.report({}, Msg::remove_failed, PathArg{file});
        next[path] = record;
        break;
    }
  }
}

}  // namespace

void prune_output(const std::string& output_root, const std::vector<std::string>& written, Diagnostics& diag,
                  ChangeList* changes, const std::set<std::string>& as_left) {
  const std::set<std::string> now(written.begin(), written.end());
  const Manifest previous = read_manifest(output_root);
  Manifest next = records_of(output_root, now, previous, count_of(diag, kOutputErrors) == 0, as_left);
  if (const int errors = count_of(diag, kSourceErrors); errors > 0) {
    diag.report({}, Msg::prune_skipped, errors);
    // Kept, so that the next complete run prunes them.
    next.insert(previous.begin(), previous.end());
  } else {
    remove_stale(output_root, now, previous, next, diag, changes);
  }
  // The new list replaces the old one only when it is whole, so a failed
  // write never forgets files that a later run should prune.
  if (!write_manifest(output_root, next))
    diag.report({}, Msg::write_file_failed, PathArg{join_path(output_root, kManifestName)});
}

}  // namespace mt
