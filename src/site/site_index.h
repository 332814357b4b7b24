#pragma once
// Which pages each language has, known before any page is written, so a
// page can name its versions in the other languages. Filled only when a
// configuration key that links languages is on.

#include <bitset>
#include <string>
#include <vector>

#include "site/counterparts.h"
#include "site/strings.h"
#include "site/support_tree.h"

namespace mt {

/// A page as the same page in every language: a template page by its
/// template, a support page by its node in the language it is read from.
struct PageKey {
  int template_index = -1;  // a template string index, or -1
  int support_node = -1;    // a node of the support tree, or -1
};

struct IndexedLanguage {
  const Language* language = nullptr;
  std::string tag;                      // BCP 47; "" when it has none (left out of alternates)
  std::string path;                     // from the URL root to its pages: "" for the default
                                        // language, whose root copy is the canonical one
  std::bitset<kStringCount> templates;  // template indexes whose page is written
  SupportTree support;                  // its support tree, texts dropped
  Counterparts match;                   // its support pages against the default language's
};

struct SiteIndex {
  std::vector<IndexedLanguage> languages;  // load order
  size_t default_language = 0;
  bool empty() const { return languages.empty(); }
};

/// The root-relative path of `key`'s page in language `lang`, "/" at the
/// end: the folder that holds its index.html.
std::string page_path(const IndexedLanguage& lang, PageKey key);

/// `key`'s page (read in language `from`) in language `to`: template pages
/// by template, support pages by the counterparts rule; a key with no page
/// there has both fields -1.
PageKey counterpart(const SiteIndex& index, size_t from, PageKey key, size_t to);

/// Whether language `lang` has `key`'s page (as given, in the language it
/// was read from).
bool has_page(const IndexedLanguage& lang, PageKey key);

}  // namespace mt
