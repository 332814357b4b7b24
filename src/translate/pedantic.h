#pragma once
// Under --pedantic, a build also checks every translation against the
// default language's text, as --import-po checks what it imports.

#include "diag/diagnostics.h"
#include "platform/collate.h"
#include "platform/fs.h"

namespace mt {

/// Checks every string and page block that a language of `root` translates,
/// each warning at the language's file and line.
void check_all_translations(SourceRoot& root, const Collator& collator, Diagnostics& diag);

}  // namespace mt
