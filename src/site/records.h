#pragma once
// The records that all build steps are handed: the run's read-only setup,
// the services and what the build gathers, the language build in progress,
// the page being written. They are passed explicitly; nothing lives in
// globals.

#include <array>
#include <bitset>
#include <compare>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "diag/diagnostics.h"
#include "diag/progress.h"
#include "platform/collate.h"
#include "platform/fs.h"
#include "platform/sink.h"
#include "site/build_config.h"
#include "site/changes.h"
#include "site/config.h"
#include "site/ids.h"
#include "site/referenced.h"
#include "site/site_index.h"
#include "site/strings.h"
#include "site/support_tree.h"

namespace mt {

class LinkRegistry;  // links/registry.h
struct PageParts;    // chrome/page_file.h

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

/// What the run builds, read-only once the language builds start: the
/// command line's roots and switches, the site configuration, the languages
/// and which pages each has. Made by `make_build_setup` (the build and the
/// tests alike); the build adds the site index once the release files are
/// copied, before the first language.
struct BuildSetup {
  std::string output_root;
  std::string url_root;             // as given: no slash added or removed
  bool list_changes = false;        // --changes, or a preview that reloads on change
  bool prune = false;               // --prune
  bool keep_written = false;        // BuildTally::written wanted: --prune, --incremental
  bool pedantic = false;            // --pedantic
  SiteConfig site;                  // maketarnwick.conf over the built-in values
  std::vector<Language> languages;  // load order
  // The language built again at the root (en-us, else the first), or -1
  // when there is none.
  int root_language = -1;
  // The pages of every language, when a key that links languages is on.
  SiteIndex index;
};

/// The setup of a build that `config` asks for, over the loaded site and
/// languages; `list_changes` when the caller wants the changed files even
/// without --changes.
BuildSetup make_build_setup(const BuildConfig& config, SiteConfig site, std::vector<Language> languages,
                            bool list_changes = false);

/// What a build gathers as it goes: the files written and changed, the
/// places --pedantic has warned of, the progress line. A language build run
/// beside others gathers its own, merged in language order afterwards.
struct BuildTally {
  // Every output file the build tried to write, relative to the output root
  // ('/' between parts): what --prune keeps. Recorded before the write, so a
  // failed write never makes the previous good file look stale.
  std::vector<std::string> written;
  // What this run added, changed and removed, for --changes.
  ChangeList changes;
  // Places warned of under --pedantic so far: a text converted for several
  // builds (the default language twice, the shared page text in every
  // language) is named once.
  std::set<PedanticPlace> pedantic_places;
  // Those of them warned of first by this build, in order: the gates of its
  // pedantic messages (diag/diagnostics.h PedanticGate).
  std::vector<PedanticPlace> pedantic_gates;
  // The output files whose sizes the pages show (the release files), with
  // the size read, -1 when none was there: the build record checks them.
  std::map<std::string, int64_t> sizes_read;
  // The sources outside the language folders that pages read (the tables,
  // the shared page text, the release files whose sizes they show),
  // ASCII-lowered: the preview renders a page again when one changes.
  std::set<std::string> shared_read;
  // Pages written so far and the expected total, for the progress line.
  Progress progress;
  // A folder of the output (relative, '/' between parts) that a build
  // running at the same time writes: this one writes nothing there, only
  // notes that it would have (it is then built again after the other).
  std::string fence;
  bool fence_met = false;
};

/// The services every build step works through, and where it gathers what
/// it finds. Only references, so none can be missing; made whole where the
/// build starts (`build_site`), the tests' records the same way.
struct Build {
  const BuildSetup& setup;
  Diagnostics& diag;
  LinkRegistry& links;  // links/registry.h: targets declared, links written
  // The site's source folder: every source is read, listed and confined
  // through it. Its case-insensitive look-ups list each folder once per
  // run, so a site of many languages stays linear.
  SourceRoot& sources;
  const Collator& collator;
  int (*year)();  // the local calendar year; tests pin it
  BuildTally& tally;

  /// Where a pedantic warning at `place` goes: nowhere unless --pedantic is
  /// on and the place was not warned of yet.
  PedanticGate pedantic_due(PedanticPlace place) const {
    if (!setup.pedantic || !tally.pedantic_places.insert(place).second) return {};
    tally.pedantic_gates.push_back(std::move(place));
    return {diag, static_cast<int>(tally.pedantic_gates.size()) - 1};
  }
};

/// The language build in progress. Two codes: the language's own
/// (`language.code`, also the name of its source folder) and the code of
/// the output folder being written (`folder_code`, "" for the root build of
/// the default language).
struct LangBuild {
  explicit LangBuild(const Language& built) : language(built) {}
  const Language& language;   // its values are the current strings
  std::string folder_code;    // "" at the root
  std::string base_code;      // folder code up to its first '-', "" at the root
  std::string folder_part;    // "/" + folder code, or "" at the root
  std::string url_part;       // "/" + folder code, or "" at the root
  std::string output_folder;  // output root + folder part
  std::string base_url;       // URL root + URL part
  bool new_folder = false;    // output_folder was made by this run: nothing of an earlier run in it
  bool rtl = false;
  int plain_width = 720;
  int wiki_width = 920;
  int nav_width = 224;
  int indexed = -1;  // its place in BuildSetup::index, -1 when not indexed
  ReferencedFiles files;
  SupportTree support;
  // The preview's: each page's part of this build, and the last build's to
  // take instead of rendering a page its edit did not touch. Null otherwise.
  PageParts* parts = nullptr;
  // Stylesheet texts, made once per language build: plain, wiki with a
  // hidden navigation overflow, wiki with a scrolling one.
  std::array<std::string, 3> stylesheets;

  // The preview's: the strings read, marked as they are (a page's own while
  // it is written, the language build's otherwise). Null otherwise.
  std::bitset<kStringCount>* strings_read = nullptr;

  const std::string& str(int index) const {
    if (strings_read) strings_read->set(static_cast<size_t>(index));
    return language.value(index);
  }
  /// The language's source folder, relative to the source root.
  const std::string& source_folder() const { return language.code; }
};

/// The build of `language` into the output folder of `folder_code` ("" for
/// the root build): its folders, URLs, layout widths and place in the index.
/// The build, the tests and the fuzzers all make a language build here.
LangBuild make_lang_build(const BuildSetup& setup, const Language& language, const std::string& folder_code);

/// The page title: `TITLE_FORMAT` with "{{TITLE}}" replaced without case by
/// `page_name`, or `HOME_TITLE` when there is no page name.
std::string page_title(const LangBuild& lang, const char* page_name);

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
