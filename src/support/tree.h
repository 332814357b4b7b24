#pragma once
// The scan of one language's support wiki: its folder tree of ".txt" pages
// read into a SupportTree (site/support_tree.h).

#include <string>
#include <string_view>

#include "diag/diagnostics.h"
#include "platform/collate.h"
#include "platform/fs.h"
#include "site/support_tree.h"

namespace mt {

/// Empties `tree` and scans the source folder `support_source_folder`
/// (resolved already) of `sources` into it. A folder reached a second time
/// (a link loop) is not entered again, and pages and folders lying outside
/// the source root are left out; both are reported under `where`.
/// Under --pedantic, `pedantic` also gets warnings of sibling pages whose
/// addresses collide and of sibling folders that differ only by letter case.
void build_support_tree(SupportTree& tree, const SourceRoot& sources, const std::string& support_source_folder,
                        const Collator& collator, Diagnostics& diag, const std::string& where,
                        const PedanticGate& pedantic = {});
/// The same for a folder not yet resolved, with the messages dropped
/// (for tools and tests that build a tree alone).
void build_support_tree(SupportTree& tree, SourceRoot& sources, const std::string& support_source_folder,
                        const Collator& collator);

/// Removes the leading run of '0'-'9', '-' and '_'.
std::string_view strip_ordering_prefix(std::string_view name);

/// The title of a page text: that of its first line that starts with a
/// single "=", else the file name (from `path`) less extension; `contents`
/// null means the text could not be read. Lines are looked at in pieces of
/// at most 4,095 bytes.
std::string title_from_text(std::string_view path, const std::string* contents);

}  // namespace mt
