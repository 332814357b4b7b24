#pragma once
// Writing one page file: open it, the frame's head, the body, the frame's
// foot, and putting it in place. Template and support pages both go through
// here, so a failure is reported the same way for each.

#include <array>
#include <bitset>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "chrome/frame.h"
#include "links/registry.h"
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

/// What rendering one page gave its language build besides the file, kept
/// by the preview: a later build takes it instead of rendering the page
/// again when nothing the page read changed (its source, the strings and
/// shared sources it read, what all the language's pages read).
struct PagePart {
  std::string output;  // the page file, relative to the output root, ASCII-lowered
  std::string source;  // its template or text as found in the sources, ASCII-lowered
  bool reusable = false;
  int pages = 0;                         // counted for the progress line
  RegistryLog links;                     // its declarations and links
  std::vector<HeldMessage> held;         // its messages, their gates indexes of `places`
  std::vector<PedanticPlace> places;     // the --pedantic places it met, in order
  std::vector<std::string> written;      // its part of BuildTally::written
  std::vector<std::string> files;        // the files it links to, which the language copies
  std::bitset<kStringCount> strings;     // the language's strings it read
  std::vector<std::string> shared_read;  // as BuildTally::shared_read
};

/// What a language build's pages read besides their own sources.
struct PageInputs {
  std::string shape;                              // the support tree, which templates are there
  std::array<std::string, kStringCount> strings;  // the language's strings
  std::bitset<kStringCount> outside;              // those the language build read outside its pages
};

using PagePartList = std::vector<std::shared_ptr<const PagePart>>;

/// A language build's page parts (LangBuild::parts): this build's, and the
/// last build's to take from.
struct PageParts {
  // The last build's and what its pages read besides their sources; null
  // when there is none to take from.
  const PagePartList* last = nullptr;
  const PageInputs* last_inputs = nullptr;
  const std::set<std::string>* changed = nullptr;  // the edit's source paths, ASCII-lowered
  std::bitset<kStringCount> changed_strings;       // strings whose values differ from the last build's
  PageInputs inputs;                               // this build's
  PagePartList parts;                              // this build's, in page order
  size_t taken = 0;                                // pages taken from `last`

  /// The last build's part of the page at `output` made from `source`.
  std::shared_ptr<const PagePart> find(const std::string& output, const std::string& source);

 private:
  bool indexed_ = false;
  std::unordered_map<std::string, size_t> index_;  // output + '\n' + source -> `last` index, pages that may be taken
};

/// Writes a page's own part between head and foot, through `build` (the
/// page's own record of messages and places while the preview keeps them
/// apart).
using PageBody = std::function<void(Build& build, Sink& out)>;

/// Writes the page at `path`: head, `body(build, out)`, foot. A file that cannot be
/// created is reported and left alone; a failed write is reported. True when
/// a new file was put in place (not when the old one held the same bytes).
/// With `lang.parts`, the page's part is kept there, or taken from the last
/// build instead of rendering the page.
bool write_framed_page(Build& build, LangBuild& lang, const std::string& path, const PageFrame& frame,
                       const PageBody& body);

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
