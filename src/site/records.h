#pragma once
// The three records that all build steps read and write: one for the whole
// run, one for the language build in progress, one for the page being
// written. They are passed explicitly; nothing lives in globals.

#include <array>
#include <compare>
#include <set>
#include <string>
#include <vector>

#include "diag/diagnostics.h"
#include "diag/progress.h"
#include "platform/collate.h"
#include "platform/fs.h"
#include "platform/sink.h"
#include "site/changes.h"
#include "site/config.h"
#include "site/ids.h"
#include "site/referenced.h"
#include "site/site_index.h"
#include "site/strings.h"
#include "site/support_tree.h"

namespace mt {

class LinkRegistry;  // links/registry.h

/// A place --pedantic warns of at most once per run: which check, in which
/// source, at which line (0: the whole source).
struct PedanticPlace {
  enum class Check : unsigned char {
    kEmphasisAtEnd,    // bold or italic still open at the end of a page text
    kItemOutsideList,  // an item with no list
    kUnknownMacro,     // a line naming no macro
    kTable,            // a CSV table's missing file or odd rows
    kPageText,         // a page text a macro includes is missing
    kTemplate,         // a template that every page links to is missing
    kSupportTree,      // a support tree scanned already
  };
  Check check;
  std::string path;
  int line = 0;

  auto operator<=>(const PedanticPlace&) const = default;
};

/// Build-wide state, set once and kept for the whole run.
struct Build {
  std::string output_root;
  std::string url_root;             // as given: no slash added or removed
  std::vector<Language> languages;  // load order
  Diagnostics diag;
  // Owned by whoever runs the build (a layer above these records) and
  // needed by every step that writes or declares a link.
  LinkRegistry* links = nullptr;
  Collator collator;
  int (*year)() = nullptr;  // the local calendar year; tests pin it
  // Case-insensitive look-ups of templates and support folders list each
  // folder once per run, so a site of many languages stays linear.
  SourceResolver resolver;
  SiteConfig site;  // maketarnwick.conf over the built-in values
  // Every output file the build tried to write, relative to the output root
  // ('/' between parts): what --prune keeps. Recorded before the write, so a
  // failed write never makes the previous good file look stale.
  std::vector<std::string> written;
  // What this run added, changed and removed, for --changes.
  ChangeList changes;
  bool list_changes = false;  // --changes
  bool prune = false;         // --prune
  bool pedantic = false;      // --pedantic
  // Places warned of under --pedantic so far: a text converted for several
  // builds (the default language twice, the shared page text in every
  // language) is named once.
  std::set<PedanticPlace> pedantic_places;

  /// Whether a pedantic warning at `place` is due: --pedantic is on and the
  /// place was not warned of yet.
  bool pedantic_due(PedanticPlace place) { return pedantic && pedantic_places.insert(std::move(place)).second; }
  // The pages of every language, when a key that links languages is on.
  SiteIndex index;
  // Pages written so far and the expected total, for the progress line.
  Progress progress;
};

/// The language build in progress.
struct LangBuild {
  const Language* language = nullptr;  // its values are the current strings
  bool rtl = false;
  int plain_width = 720;
  int wiki_width = 920;
  int nav_width = 224;
  std::string folder_part;    // "/" + code, or "" at the root
  std::string url_part;       // "/" + code, or "" at the root
  std::string code;           // current language code, "" at the root
  std::string base_code;      // code up to its first '-', "" at the root
  std::string source_folder;  // the language code, relative to the working folder
  std::string output_folder;  // output root + folder part
  std::string base_url;       // URL root + URL part
  int indexed = -1;           // its place in Build::index, -1 when not indexed
  ReferencedFiles files;
  SupportTree support;
  // Stylesheet texts, made once per language build: plain, wiki with a
  // hidden navigation overflow, wiki with a scrolling one.
  std::array<std::string, 3> stylesheets;

  const std::string& str(int index) const { return language->value(index); }
};

/// The page being written.
struct Page {
  Sink* out = nullptr;
  std::string url;  // current page URL: no trailing "/"
  IdRegistry ids;
  // Page texts being converted right now, innermost last, so a text that
  // includes itself is noticed.
  std::vector<std::string> converting;
};

}  // namespace mt
