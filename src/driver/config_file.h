#pragma once
// The optional site configuration file of the source folder.

#include <string>

#include "diag/diagnostics.h"
#include "platform/fs.h"
#include "site/config.h"

namespace mt {

/// Not a ".txt" name: those are read as languages.
inline constexpr const char* kConfigFileName = "maketarnwick.conf";

/// Reads the source `path` (KEY = "value" lines, "//" comments) over the defaults. An
/// absent file gives the defaults and no message; unknown keys and bad lines
/// are warnings, unsafe values errors, each with "file:line"; the default
/// stays for every key not validly set.
SiteConfig load_site_config(const SourceRoot& sources, Diagnostics& diag, const std::string& path = kConfigFileName);

/// A configuration file with every key commented out at its default.
std::string default_config_text();

}  // namespace mt
