#pragma once
// The support wiki of one language: its folder tree of ".txt" pages scanned
// into an ordered list of nodes (depth-first pre-order, siblings in
// comparator order), with the lookups that links and navigation need.

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "diag/diagnostics.h"
#include "platform/collate.h"
#include "platform/fs.h"

namespace mt {

struct SupportNode {
  std::string name;         // file name less ".txt" and ordering prefix
  std::string slug;         // slug of the name
  std::string path_slug;    // parent's path slug, "/", own slug (own slug at top level)
  std::string source_path;  // raw names joined with the separator, no ".txt"
  std::string title;        // from the first single "=" line, or the file name
  int parent = -1;          // index into SupportTree::nodes, -1 at top level
  int depth = 0;
  bool hidden = false;      // raw file name starts with "_"
  std::vector<int> children;  // indexes, in tree order
};

class SupportTree {
 public:
  /// Empties the tree and scans `support_source_folder` (resolved already).
  /// A folder reached a second time (a link loop) is not entered again, and
  /// pages and folders lying outside the working folder are left out; both
  /// are reported under `where`.
  /// `pedantic` (--pedantic) also warns of sibling pages whose addresses
  /// collide and of sibling folders that differ only by letter case.
  void build(const std::string& support_source_folder, const Collator& collator, Diagnostics& diag,
             const std::string& where, bool pedantic = false);
  /// The same for a folder not yet resolved, with the messages dropped
  /// (for tools and tests that build a tree alone).
  void build(const std::string& support_source_folder, const Collator& collator);
  void clear();

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

 private:
  /// Lists one folder, sorts its pages and appends each with its sub-tree.
  struct ScanRun {
    const Collator& collator;
    Diagnostics& diag;
    const std::string& where;
    bool pedantic;
    std::set<std::pair<uint64_t, uint64_t>> visited;  // device and number of each folder scanned
  };
  void scan(const std::string& folder, const std::string& source_path, int parent, ScanRun& run);
  /// Whether `folder` may be scanned: inside the site and not scanned yet.
  bool may_enter(const std::string& folder, ScanRun& run);
  /// Under --pedantic: a page whose address is that of an earlier sibling.
  void report_colliding_page(const std::string& folder, const std::string& file, const std::string& raw, int parent,
                             ScanRun& run) const;
  int add_node(const std::string& folder_source_path, const std::string& raw, int parent, std::string title);

  std::vector<SupportNode> nodes_;
  std::vector<std::optional<std::string>> texts_;  // per node, until taken
  // Per parent (index + 1, so 0 is the top level): lowered name or slug ->
  // first child with it.
  std::vector<std::unordered_map<std::string, int>> child_index_;
};

/// Removes the leading run of '0'-'9', '-' and '_'.
std::string_view strip_ordering_prefix(std::string_view name);

/// The title of a page text: that of its first line that starts with a
/// single "=", else the file name (from `path`) less extension; `contents`
/// null means the text could not be read. Lines are looked at in pieces of
/// at most 4,095 bytes.
std::string title_from_text(std::string_view path, const std::string* contents);

}  // namespace mt
