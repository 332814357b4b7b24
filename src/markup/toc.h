#pragma once
// The table of contents that a "__TOC__" line writes.

#include <string>

#include "driver/records.h"

namespace mt {

/// Lists the headings of `source_path` that follow its first line starting
/// with "__", each linked to the id its heading gets on the page.
void write_toc(Build& build, LangBuild& lang, Page& page, const std::string& source_path);

}  // namespace mt
