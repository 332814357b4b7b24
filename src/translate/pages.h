#pragma once
// The pages of a language paired with the default language's, for the PO
// export and import.

#include <set>
#include <string>
#include <vector>

#include "translate/sources.h"

namespace mt {

struct PagePair {
  std::string item;       // page:faq, support/...
  std::string def_path;   // the default language's page
  std::string lang_path;  // the language's page, or where an import creates it
  bool exists = false;    // whether the language has it
  bool support = false;
};

/// The template pages, then the support pages, of the default language.
std::vector<PagePair> page_pairs(const Sources& sources, size_t lang);

/// The items that are stale in language `lang` (none without a record).
std::set<std::string, std::less<>> stale_items(const Sources& sources, size_t lang);

}  // namespace mt
