#pragma once
// --prune: removing the output files that an earlier --prune run wrote and
// this run did not, using the manifest (site/manifest.h) that only --prune
// runs write.

#include <set>
#include <string>
#include <vector>

#include "diag/diagnostics.h"
#include "site/changes.h"

namespace mt {

/// Removes each file that the previous manifest lists and `written` does
/// not, when it is still the file that was written (its size and hash) and
/// is no link and lies below none, then the folders this leaves empty; then
/// replaces the manifest with the files of `written`. Paths are relative to
/// `output_root`, with '/' between parts. Whatever it keeps it names, with
/// the reason.
///
/// `diag` holds the run's messages so far, which decide how much is trusted:
/// after an error reading the sources (the run may have left out pages it
/// would otherwise write) nothing is removed and the old entries are kept
/// for a later run; after an error writing the output, a file is recorded
/// only where it still matches its old record (it may not be this run's).
/// Each file removed is noted in `changes`, when given. The files of
/// `as_left` (those of languages taken from the build record, unchanged
/// since the run that last wrote the manifest) keep their old records
/// rather than being read again.
void prune_output(const std::string& output_root, const std::vector<std::string>& written, Diagnostics& diag,
                  ChangeList* changes = nullptr, const std::set<std::string>& as_left = {});

}  // namespace mt
