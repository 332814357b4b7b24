#pragma once
// Writing one page file: open it, the frame's head, the body, the frame's
// foot, and putting it in place. Template and support pages both go through
// here, so a failure is reported the same way for each.

#include <functional>
#include <string>

#include "chrome/frame.h"
#include "site/records.h"

namespace mt {

/// How the head of a page looks: its title, the menu entry marked, the
/// layout, and whether the navigation column scrolls.
struct PageFrame {
  const char* title = nullptr;
  MenuItem menu_mark = kNoMenuItem;
  Layout layout = Layout::kPlain;
  bool nav_scrolls = false;
  PageKey key = {};    // the same page in other languages
  std::string source;  // its template or text, for messages about it
};

/// Writes the page at `path`: head, `body(out)`, foot. A file that cannot be
/// created is reported and left alone (false); a failed write is reported.
bool write_framed_page(Build& build, LangBuild& lang, const std::string& path, const PageFrame& frame,
                       const std::function<void(Sink& out)>& body);

/// Records `path` (under the output root) as written by this run, for
/// --prune; a page also counts for the progress line.
void record_output(Build& build, const std::string& path, bool page);

/// Closes a page, support page or script, putting it in place; a failure
/// (its temporary file then removed, the old file kept) is reported.
void close_output(Diagnostics& diag, const LangBuild& lang, FileSink& file, const std::string& path);

}  // namespace mt
