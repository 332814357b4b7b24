#pragma once
// Sitemaps of the languages, their index and the robots.txt line naming it.

#include "site/records.h"

namespace mt {

/// Writes "sitemap-TAG.xml" per tagged language (more files of the same
/// name with "-2", "-3"... when one passes the protocol's limits), the index
/// "sitemap.xml" and "robots.txt" at the output root. A sitemap.xml or
/// robots.txt that this tool did not write is kept and named.
void write_sitemaps(Build& build);

}  // namespace mt
