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
  PageKey key = {};         // the same page in other languages
  std::string source;       // its template or text, for messages about it
  bool new_folder = false;  // its folder was made by this run (PageFolder::kNew)
};

/// Writes the page at `path`: head, `body(out)`, foot. A file that cannot be
/// created is reported and left alone; a failed write is reported. True when
/// a new file was put in place (not when the old one held the same bytes).
bool write_framed_page(Build& build, LangBuild& lang, const std::string& path, const PageFrame& frame,
                       const std::function<void(Sink& out)>& body);

enum class PageFolder {
  kRefused,  // nothing goes below it
  kThere,    // there already, or it could not be made (shows when a page is created)
  kNew,      // made by this run: no file of an earlier run is in it
};
/// Makes the folder of a page; a link standing there is replaced by a real
/// folder (and named), so no page is written through it. `kRefused`, with an
/// error, when the link cannot be removed or the folder lies behind the
/// build's fence. `parent_new`: the parent folder is `kNew` itself.
PageFolder make_page_folder(Build& build, const LangBuild& lang, const std::string& folder, bool parent_new = false);

/// Records `path` (under the output root) as written by this run, for
/// --prune; a page also counts for the progress line. False, writing
/// nothing, for a path behind the build's fence (BuildTally::fence).
[[nodiscard]] bool record_output(Build& build, const std::string& path, bool page);

/// Closes a page, support page or script, putting it in place unless it is
/// unchanged, and notes what it did for --changes; a failure (its temporary
/// file then removed, the old file kept) is reported. True when a new file
/// was put in place.
bool close_output(Build& build, const LangBuild& lang, FileSink& file, const std::string& path);

/// Notes for --changes what writing the output file `path` did.
void note_change(Build& build, const std::string& path, WriteOutcome outcome);

}  // namespace mt
