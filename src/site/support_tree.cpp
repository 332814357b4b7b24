#include "site/support_tree.h"

#include <algorithm>

#include "platform/text.h"

namespace mt {

void SupportTree::clear() {
  nodes_.clear();
  texts_.clear();
  child_index_.assign(1, {});
}

int SupportTree::add(SupportNode node, std::optional<std::string> text) {
  const int parent = node.parent;
  // Built from the parent's path slug rather than by slugging the joined
  // names, so each segment is slugged alone exactly as link mapping does
  // (a name starting with a blank would otherwise gain a leading "_").
  node.path_slug = parent < 0 ? node.slug : nodes_[parent].path_slug + "/" + node.slug;
  node.depth = parent < 0 ? 0 : nodes_[parent].depth + 1;

  const int index = static_cast<int>(nodes_.size());
  auto& siblings = child_index_[parent + 1];
  // emplace keeps an existing key: the first child in tree order wins.
  siblings.emplace(ascii_lower(node.name), index);
  siblings.emplace(node.slug, index);  // already lower case
  if (parent >= 0) nodes_[parent].children.push_back(index);
  nodes_.push_back(std::move(node));
  texts_.push_back(std::move(text));
  child_index_.emplace_back();
  return index;
}

int SupportTree::find_child(int parent, std::string_view text) const {
  const size_t slot = static_cast<size_t>(parent + 1);
  if (parent < -1 || slot >= child_index_.size()) return -1;
  auto it = child_index_[slot].find(ascii_lower(text));
  return it == child_index_[slot].end() ? -1 : it->second;
}

std::vector<int> SupportTree::shown_in_navigation(int current) const {
  std::vector<int> shown;
  if (current < 0 || current >= static_cast<int>(nodes_.size())) return shown;
  // Everything shown is the top ancestor or a child of a node on the path
  // from the top ancestor down to the current node; each node has one
  // parent, so the collection has no duplicates.
  std::vector<int> path;
  for (int n = current; n >= 0; n = nodes_[n].parent) path.push_back(n);
  shown.push_back(path.back());
  for (int n : path) shown.insert(shown.end(), nodes_[n].children.begin(), nodes_[n].children.end());
  std::erase_if(shown, [this](int n) { return nodes_[n].hidden; });
  std::sort(shown.begin(), shown.end());  // indexes are tree order
  return shown;
}

bool SupportTree::navigation_scrolls(const std::vector<int>& shown) const {
  for (int n : shown) {
    if (nodes_[n].depth >= 1) return true;
  }
  return false;
}

std::optional<std::string> SupportTree::take_text(int node) {
  std::optional<std::string> text;
  text.swap(texts_[static_cast<size_t>(node)]);
  return text;
}

}  // namespace mt
