#include "site/changes.h"

#include <algorithm>

#include "platform/fs.h"
#include "site/manifest.h"

namespace mt {

void ChangeList::note(const std::string& relative, WriteOutcome outcome) {
  if (outcome == WriteOutcome::kUnchanged) return;
  marks_.try_emplace(relative, outcome == WriteOutcome::kAdded ? '+' : '*');
}

void ChangeList::note_removed(const std::string& relative) { marks_.try_emplace(relative, '-'); }

void ChangeList::merge(const ChangeList& later) {
  for (const auto& [path, mark] : later.marks_) marks_.try_emplace(path, mark);
}

std::string ChangeList::format() const {
  std::string text;
  for (const auto& [path, mark] : marks_) {
    text += mark;
    text += ' ';
    text += escape_path(path);
    text += '\n';
  }
  return text;
}

std::string relative_output(std::string_view output_root, std::string_view path) {
  // Every output path starts with the root as given; a root given with a
  // trailing separator doubles the one after it.
  std::string relative = generic_path(path.substr(std::min(path.size(), output_root.size())));
  relative.erase(0, relative.find_first_not_of('/'));
  // A support folder whose name is all ordering prefix ("1-2") has an empty
  // slug: the page's path holds "//", which names the same file as "/".
  // Listed as the system names it, so a deploy and --prune see one path.
  relative.erase(std::unique(relative.begin(), relative.end(), [](char a, char b) { return a == '/' && b == '/'; }),
                 relative.end());
  return relative;
}

}  // namespace mt
