#pragma once
// The support wiki of one language as a list of nodes (depth-first
// pre-order, siblings in comparator order), with the lookups that links and
// navigation need. support/tree.h scans the folder that fills it; the link
// rules read it from here, a layer below both.

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace mt {

struct SupportNode {
  std::string name;         // file name less ".txt" and ordering prefix
  std::string slug;         // slug of the name
  std::string path_slug;    // parent's path slug, "/", own slug (own slug at top level)
  std::string source_path;  // raw names joined with '/', no ".txt"
  std::string title;        // from the first single "=" line, or the file name
  int parent = -1;          // index into SupportTree::nodes, -1 at top level
  int depth = 0;
  bool hidden = false;        // raw file name starts with "_"
  std::string counterpart;    // the "__COUNTERPART__" path of its text, "" when none
  std::vector<int> children;  // indexes, in tree order
};

class SupportTree {
 public:
  void clear();

  /// Appends `node` as the last child of its parent (which comes before it),
  /// filling in its path slug, depth and index, with its page text (none
  /// when it could not be read). Returns its index.
  int add(SupportNode node, std::optional<std::string> text);

  const std::vector<SupportNode>& nodes() const { return nodes_; }

  /// The first child (in tree order) of `parent` (-1 = top level) whose name
  /// or slug equals `text` without ASCII case; -1 when none.
  int find_child(int parent, std::string_view text) const;

  /// The nodes shown in `current`'s navigation column, in tree order.
  std::vector<int> shown_in_navigation(int current) const;

  /// Whether a node of depth 1 or more is among the `shown` ones.
  bool navigation_scrolls(const std::vector<int>& shown) const;

  /// The page text of `node` as read by the scan (none when it could not be
  /// read), handed over once so it is not kept after its page is written.
  std::optional<std::string> take_text(int node);
  /// Whether the scan read a page text for `node` (and it is not taken yet).
  bool has_text(int node) const { return texts_[static_cast<size_t>(node)].has_value(); }

 private:
  std::vector<SupportNode> nodes_;
  std::vector<std::optional<std::string>> texts_;  // per node, until taken
  // Per parent (index + 1, so 0 is the top level): lowered name or slug ->
  // first child with it.
  using ChildIndex = std::unordered_map<std::string, int>;
  std::vector<ChildIndex> child_index_ = std::vector<ChildIndex>(1);
};

}  // namespace mt
