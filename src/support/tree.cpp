// Placeholder until the real implementation lands.
#include "support/tree.h"

namespace mt {
void SupportTree::build(const std::string&, const Collator&) { clear(); }
void SupportTree::clear() { nodes_.clear(); child_index_.clear(); }
int SupportTree::find_child(int, std::string_view) const { return -1; }
std::vector<int> SupportTree::shown_in_navigation(int) const { return {}; }
bool SupportTree::navigation_scrolls(int) const { return false; }
std::string slug(std::string_view text, bool) { return std::string(text); }
std::string_view strip_ordering_prefix(std::string_view name) { return name; }
std::string read_title(const std::string& path) { return path; }
}  // namespace mt
