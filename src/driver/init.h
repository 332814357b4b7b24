#pragma once
// --init: a minimal working site to start from.

#include <string>

#include "diag/diagnostics.h"

namespace mt {

/// Writes a one-language site (language file, page texts, a two-level support
/// tree, the CSV tables, the configuration file) into `folder`, which must be
/// new or empty. Returns the exit status: 0, or 1 after one error message.
int init_site(const std::string& folder, Diagnostics& diag);

}  // namespace mt
