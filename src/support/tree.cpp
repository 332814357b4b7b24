#include "support/tree.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <set>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "links/urls.h"
#include "platform/fs.h"
#include "platform/lines.h"
#include "platform/names.h"
#include "platform/numbers.h"
#include "platform/text.h"
#include "site/counterparts.h"

namespace mt {

namespace {

// Title lines are read in fgets-sized pieces; a longer line is split and each
// piece is looked at as a line of its own.
constexpr LineRules kTitleLines{4095, true, true};

bool is_ordering_char(char c) { return (c >= '0' && c <= '9') || c == '-' || c == '_'; }

// The title found in one piece, if the piece is a title line. A title
// without a closing '=' keeps its line end, as it always has.
bool title_in_piece(const TextLine& piece, std::string* title) {
  std::string_view text = piece.text;
  if (text.empty() || text[0] != '=') return false;
  if (text.size() > 1 && text[1] == '=') return false;
  std::string_view rest = text.substr(1);
  size_t close = rest.find('=');
  *title = std::string(rest.substr(0, close));
  if (close == std::string_view::npos) *title += piece.end;
  return true;
}

}  // namespace

std::string_view strip_ordering_prefix(std::string_view name) {
  size_t i = 0;
  while (i < name.size() && is_ordering_char(name[i])) ++i;
  return name.substr(i);
}

std::string title_from_text(std::string_view path, const std::string* contents) {
  std::string_view file = file_name_of(path);
  std::string title(file.substr(0, file.rfind('.')));
  if (!contents) return title;
  TextLines pieces(*contents, kTitleLines);
  TextLine piece;
  while (pieces.next(&piece)) {
    if (title_in_piece(piece, &title)) break;
  }
  return title;
}

namespace {

// What one scan carries down the folders.
struct ScanRun {
  SupportTree& tree;
  const SourceRoot& sources;
  const Collator& collator;
  Diagnostics& diag;
  const std::string& where;
  const PedanticGate& pedantic;                     // where its --pedantic warnings go
  std::set<std::pair<uint64_t, uint64_t>> visited;  // device and number of each folder scanned
};

// Lists a folder the scan enters: nothing when it leads out of the site,
// or back to a folder scanned already (forever when to one of its own
// ancestors); a missing folder lists nothing.
std::vector<DirEntry> enter(const std::string& folder, ScanRun& run) {
  FolderListing listing;
  const FolderOpen opened = run.sources.list_folder(folder, &listing);
  if (opened == FolderOpen::kOutsideSite) run.diag.report({run.where}, Msg::source_outside_site, PathArg{folder});
  if (opened != FolderOpen::kListed) return {};
  if (!run.visited.emplace(listing.id.device, listing.id.number).second) {
    run.diag.report({run.where}, Msg::folder_visited, PathArg{folder});
    return {};
  }
  return std::move(listing.entries);
}

// The sub-folders of one folder, looked up as a file system that ignores
// ASCII case would: the exact name first, else the first in listing order.
// One listing per folder keeps the scan linear; probing each page's folder
// on its own would list the parent again for every page without children.
// The listing has no "." or "..", so pages named "" or "." (".txt",
// "..txt") never scan their own folder again.
class SubFolders {
 public:
  explicit SubFolders(std::vector<std::string> names) {
    for (std::string& name : names) {
      auto [it, first] = by_lower_.emplace(ascii_lower(name), name);
      if (!first) shadowed_.emplace_back(name, it->second);
      exact_.insert(std::move(name));
    }
  }
  /// Pairs of folders whose names differ only by letter case: the second
  /// listed, and the first.
  const std::vector<std::pair<std::string, std::string>>& shadowed() const { return shadowed_; }
  const std::string* find(const std::string& name) const {
    if (auto it = exact_.find(name); it != exact_.end()) return &*it;
    auto it = by_lower_.find(ascii_lower(name));
    return it == by_lower_.end() ? nullptr : &it->second;
  }

 private:
  std::unordered_set<std::string> exact_;
  std::unordered_map<std::string, std::string> by_lower_;
  std::vector<std::pair<std::string, std::string>> shadowed_;
};

// Under --pedantic: folders that a file system ignoring case would take for
// one; only one of them is read, on every system alike.
void report_shadowed_folders(const SubFolders& sub_folders, const std::string& folder, const PedanticGate& due) {
  for (const auto& [second, first] : sub_folders.shadowed()) {
    due.report({join_path(folder, second)}, Msg::folder_case, second, first);
  }
}

/// Under --pedantic: a page whose address is that of an earlier sibling.
void report_colliding_page(const std::string& folder, const std::string& file, const std::string& raw, int parent,
                           ScanRun& run) {
  const int other = run.tree.find_child(parent, slug(strip_ordering_prefix(raw), false));
  if (other < 0) return;
  // Links and the output folder find only the first of the two.
  run.pedantic.report({join_path(folder, file)}, Msg::slug_collision, raw,
                      file_name_of(run.tree.nodes()[static_cast<size_t>(other)].source_path));
}

int add_node(SupportTree& tree, const std::string& folder_source_path, const std::string& raw, int parent,
             std::string title, std::optional<std::string> text) {
  SupportNode node;
  node.name = std::string(strip_ordering_prefix(raw));
  node.slug = slug(node.name, false);
  node.hidden = !raw.empty() && raw[0] == '_';
  node.source_path = join_path(folder_source_path, raw);
  node.title = std::move(title);
  node.parent = parent;
  if (text) node.counterpart = counterpart_line(*text);
  return tree.add(std::move(node), std::move(text));
}

/// Lists one folder, sorts its pages and appends each with its sub-tree.
void scan(const std::string& folder, const std::string& source_path, int parent, ScanRun& run) {
  struct Entry {
    std::string file;
    std::string title;
    bool by_file_name;  // keyed by the file name rather than the title
    std::string text;
    bool readable;
    const std::string& key() const { return by_file_name ? file : title; }
  };
  std::vector<Entry> entries;
  std::vector<std::string> folder_names;
  for (DirEntry& found : enter(folder, run)) {
    if (found.is_dir) folder_names.push_back(std::move(found.name));
    if (found.is_dir || !has_txt_extension(found.name)) continue;
    // The text is read once: for its title now and for its page later.
    std::string text;
    const std::string path = join_path(folder, found.name);
    ReadResult read = run.sources.read(path, &text);
    if (read == ReadResult::kOutsideSite) {
      run.diag.report({run.where}, Msg::source_outside_site, PathArg{path});
      continue;
    }
    bool readable = read == ReadResult::kRead;
    std::string title = title_from_text(found.name, readable ? &text : nullptr);
    bool by_file_name = leading_int(found.name) != 0;
    entries.push_back({std::move(found.name), std::move(title), by_file_name, std::move(text), readable});
  }
  // Stable, so entries with equal keys keep the listing's order and the tree
  // is the same on every machine.
  std::stable_sort(entries.begin(), entries.end(),
                   [&run](const Entry& a, const Entry& b) { return run.collator.compare(a.key(), b.key()) < 0; });

  std::optional<SubFolders> sub_folders;  // listed only when there are pages
  for (Entry& entry : entries) {
    size_t dot = entry.file.rfind('.');
    if (dot == std::string::npos || !equal_no_case(std::string_view(entry.file).substr(dot + 1), "txt")) {
      continue;
    }
    std::string raw = entry.file.substr(0, dot);
    if (run.pedantic) report_colliding_page(folder, entry.file, raw, parent, run);
    int index = add_node(run.tree, source_path, raw, parent, std::move(entry.title),
                         entry.readable ? std::optional<std::string>(std::move(entry.text)) : std::nullopt);
    // Children come right after their page, which makes the list pre-order.
    if (!sub_folders) {
      sub_folders.emplace(std::move(folder_names));
      if (run.pedantic) report_shadowed_folders(*sub_folders, folder, run.pedantic);
    }
    if (const std::string* sub = sub_folders->find(raw)) {
      const std::string sub_folder = join_path(folder, *sub);
      scan(sub_folder, join_path(source_path, raw), index, run);
    }
  }
}

}  // namespace

void build_support_tree(SupportTree& tree, const SourceRoot& sources, const std::string& support_source_folder,
                        const Collator& collator, Diagnostics& diag, const std::string& where,
                        const PedanticGate& pedantic) {
  tree.clear();
  ScanRun run{tree, sources, collator, diag, where, pedantic, {}};
  // Resolved by the caller, so every path below it is built from names as listed.
  scan(support_source_folder, std::string(), -1, run);
}

void build_support_tree(SupportTree& tree, SourceRoot& sources, const std::string& support_source_folder,
                        const Collator& collator) {
  StringSink dropped;
  Diagnostics diag;
  diag.out = &dropped;
  build_support_tree(tree, sources, sources.resolve(support_source_folder), collator, diag, std::string(), {});
}

}  // namespace mt
