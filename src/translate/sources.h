#pragma once
// What a translator works on, read from the site's source folder: every
// language's strings (with their lines), template pages and support tree,
// and, for the default language, a hash of each item's text. Read once by
// --status, --accept and the PO export and import.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "diag/diagnostics.h"
#include "platform/collate.h"
#include "platform/fs.h"
#include "site/counterparts.h"
#include "site/strings.h"
#include "site/support_tree.h"

namespace mt {

inline constexpr size_t kTemplateCount = std::size(kTemplatePages);

struct StringSource {
  std::string value;  // the language's value; the built-in default when not defined
  int line = 0;       // of the key line that counts; 0 when not defined
  bool defined = false;
  bool same = false;  // marked "// same": never untranslated
};

/// One language's sources. Paths are relative to the source root.
struct LangSources {
  std::string code;
  std::string file;  // the language file as listed, e.g. "de-de.txt"
  std::array<StringSource, kStringCount> strings;
  std::array<std::string, kTemplateCount> templates;  // template page paths, "" when missing
  std::string support_folder;                         // resolved; pages are below it
  SupportTree support;                                // texts dropped after the scan
  // Default language only: the hash of each item's text (see item_hash).
  std::array<uint64_t, kTemplateCount> template_hash{};
  std::vector<uint64_t> support_hash;  // per support node
};

struct Sources {
  explicit Sources(SourceRoot& from) : root(from) {}
  SourceRoot& root;                // where they are read, and written back
  std::vector<LangSources> langs;  // load order
  size_t default_lang = 0;         // en-us, else the first
  // Per language: its support pages against the default language's.
  std::vector<Counterparts> counterparts;
};

/// Reads the translation sources of `sources->root`; false with a message in
/// `diag` when there is no language file. Loader warnings are not shown:
/// the status reports what is missing itself.
bool read_sources(Sources* sources, const Collator& collator, Diagnostics& diag);

/// Whether `path` names an existing file that the site is built or
/// translated from (a language file, a page, a table, the configuration,
/// the record): what a report or PO file must never be written over.
bool is_site_source(const Sources& sources, const std::string& path);

/// The index of the language `code` (ASCII case ignored), or -1.
int lang_index(const Sources& sources, std::string_view code);

/// The hash a translation is accepted against: the bytes less a byte order
/// mark, with blanks at line ends and the kind of line end ignored, so
/// re-saving a page in another editor changes nothing; blank lines and
/// every other byte count, as they change the page.
uint64_t item_hash(std::string_view text);

/// The support page `node` of `tree` below `folder` ('/' in its name).
std::string support_page_path(const std::string& folder, const SupportTree& tree, int node);

/// The names of items in the record, in --accept and in the status: a
/// string by its id (FAQ); a template page as "page:" and its string id
/// less "_TEMPLATE" in lower case (page:faq); a support page as "support/"
/// and the default language's page path below its support folder, '/'
/// between parts.
std::string template_item_name(size_t template_slot);
std::string support_item_name(const SupportTree& def, int node);

}  // namespace mt
