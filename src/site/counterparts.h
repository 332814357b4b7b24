#pragma once
// Which pages of two languages are the same page: the one rule that the
// translators' status and the alternate-language links share. Pure
// functions over trees already scanned; nothing here reads a file.

#include <string>
#include <string_view>
#include <vector>

#include "site/strings.h"
#include "site/support_tree.h"

namespace mt {

/// The 14 template pages correspond by template: each language names its
/// own file in these strings, so "faq.txt" may be "preguntas.txt".
inline constexpr int kTemplatePages[] = {
    HOME_TEMPLATE,      DOWNLOADS_TEMPLATE,    FAQ_TEMPLATE,    DONATE_TEMPLATE,      ERROR404_TEMPLATE,
    CONTACT_TEMPLATE,   PRIVACY_TEMPLATE,      ABOUT_TEMPLATE,  LANGUAGE_TEMPLATE,    DONATED_TEMPLATE,
    CONTACTOK_TEMPLATE, CONTACTERROR_TEMPLATE, UPDATE_TEMPLATE, MAINTENANCE_TEMPLATE,
};

/// The marker line of a support page that names its default-language page.
inline constexpr std::string_view kCounterpartMarker = "__COUNTERPART__";

/// The path named by the first line of `text` that starts with
/// "__COUNTERPART__" (blanks around it removed), or "" when there is none.
/// Pages drop every "__" line from their output, so the line shows nowhere.
std::string counterpart_line(std::string_view text);

/// The node of `tree` that a "__COUNTERPART__" path names, or -1: parts
/// separated by '/' or '\', each the file name with or without its ordering
/// prefix (".txt" optional on the last), compared without ASCII case.
int resolve_counterpart_path(const SupportTree& tree, std::string_view path);

/// The pairs between the default language's support tree and another's.
struct Counterparts {
  std::vector<int> of_default;  // per default node: the other tree's node, -1 when missing
  std::vector<int> of_other;    // per other node: the default tree's node, -1 when an orphan

  std::vector<int> missing() const;  // default nodes without a counterpart, tree order
  std::vector<int> orphans() const;  // other nodes without a counterpart, tree order
};

/// Pairs the support pages of `other` with those of `def`, each default page
/// used once, in this order:
///   1. a page whose text names a default page ("__COUNTERPART__ path"),
///      the first in tree order winning; a path naming nothing, or a page
///      taken already, leaves it an orphan;
///   2. among the children of two corresponding pages (or the two top
///      levels), the same name without its ordering prefix, without ASCII
///      case;
///   3. then the same ordering number (the leading digits of the file name).
/// Earlier siblings in tree order win within each step.
Counterparts match_support(const SupportTree& def, const SupportTree& other);

/// The node of language B corresponding to `node_a` of language A, both
/// matched against the default language; -1 when either side lacks it.
int through_default(const Counterparts& a, const Counterparts& b, int node_a);

}  // namespace mt
