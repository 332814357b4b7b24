#pragma once
// The build record of --incremental: what a build leaves in the output
// folder so that the next builds again only the languages whose sources or
// output files changed, and takes each other language's part of the run
// (its files as they are, its links for the final check, its messages)
// from the record.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "driver/kept_build.h"
#include "platform/stamps.h"
#include "site/records.h"

namespace mt {

inline constexpr const char* kRecordName = ".maketarnwick-record";

/// The sources as a build found them before reading any.
struct SourceStamps {
  bool known = false;  // false when the tree holds a link: no change can be placed
  std::vector<TreeEntry> entries;
  uint64_t taken_at = 0;  // ns since the epoch, before the first entry
};

/// The sources as they are, before any is read: a source edited while the
/// build runs then counts as changed next time.
SourceStamps stamp_sources(const SourceRoot& sources, const BuildConfig& config);

/// Once the release files are copied, before the languages: reads the
/// record the last build left, setting `kept` to take every language whose
/// sources (as `stamps` found them), output files and release file sizes
/// are as that build left them. A missing, unreadable or foreign record
/// (another program, other options) leaves `kept` empty: a whole build.
void load_build_record(const SourceRoot& sources, const BuildSetup& setup, const BuildConfig& config,
                       const SourceStamps& stamps, KeptBuild& kept);

/// Reads a record's contents (after its first line, before its check sum)
/// made with `key` for `units` language builds into `kept` and `sources`;
/// false, whatever was read left half done, when they are not such a record.
bool parse_record_body(std::string_view body, const std::string& key, size_t units, KeptBuild& kept,
                       std::vector<TreeEntry>* sources);

/// After the languages: stamps what the languages built this time wrote and
/// writes the record (a file left untouched when its bytes are unchanged).
void save_build_record(Build& build, const BuildConfig& config, const SourceStamps& sources, KeptBuild& kept);

}  // namespace mt
