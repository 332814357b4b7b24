#pragma once
// The record of what each translation was made from: one plain-text file in
// the source folder that diffs well in a pull request, one line per language
// and item, sorted:
//
//   # maketarnwick translations: language, hash of the default-language text accepted, item
//   de-de 8c3f2a1b9d0e4f57 DOWNLOADS
//   de-de 0a1b2c3d4e5f6a7b support/01 Wendrel/05 SDK.txt
//
// An item whose default-language text no longer has the recorded hash is
// stale in that language.

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "diag/diagnostics.h"
#include "platform/fs.h"

namespace mt {

inline constexpr const char* kRecordName = "maketarnwick.translations";

/// Language code -> item -> hash.
using AcceptRecord = std::map<std::string, std::map<std::string, uint64_t, std::less<>>, std::less<>>;

/// The entries of a record's text; lines that are not "code hash item" are
/// left out.
AcceptRecord parse_record(std::string_view text);
std::string format_record(const AcceptRecord& record);

/// The record in the source folder `root`; empty when there is none.
AcceptRecord read_record(const SourceRoot& root);
/// Replaces the record as a whole; false, reported, when it could not be
/// written (the old one is kept).
bool write_record(const SourceRoot& root, const AcceptRecord& record, Diagnostics& diag);

}  // namespace mt
