#pragma once
// The index of every language's pages that links between languages need,
// and the checks of it that need no page written.

#include "site/records.h"

namespace mt {

/// Whether a configuration key that links languages is on.
bool languages_linked(const SiteConfig& site);

/// The index of the setup's languages and their sources: each language's
/// tag (warning of a code without one and of a tag given twice), its
/// template pages and its support tree. The setup's root language is the
/// default.
SiteIndex index_languages(Build& build);

/// Warns of a support page that only one language has, and of a page file
/// left from an earlier build where a language no longer has that page.
void check_page_sets(Build& build);

}  // namespace mt
