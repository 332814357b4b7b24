#pragma once
// Under --pedantic, a build also checks every translation against the
// default language's text, as --import-po checks what it imports.

#include "diag/diagnostics.h"
#include "platform/collate.h"

namespace mt {

/// Checks every string and page block that a language translates, each
/// warning at the language's file and line.
void check_all_translations(const Collator& collator, Diagnostics& diag);

}  // namespace mt
