#pragma once
// The line-based page converter: reads a page text and writes its body HTML
// into the page, one line at a time.

#include <string>
#include <string_view>

#include "markup/inline.h"
#include "site/records.h"

namespace mt {

/// Converts the page text at `source_path` into `page`. Returns false when
/// the file cannot be opened (nothing is written, nothing reported).
bool convert_page(Build& build, LangBuild& lang, Page& page, const std::string& source_path,
                  const ConvertOptions& options);

/// The same for a page text read already; `source_path` names it in messages
/// and written links.
void convert_text(Build& build, LangBuild& lang, Page& page, const std::string& source_path, std::string_view text,
                  const ConvertOptions& options);

}  // namespace mt
