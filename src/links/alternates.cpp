#include "links/alternates.h"

#include <algorithm>

namespace mt {

std::vector<Alternate> alternates(const SiteIndex& index, size_t from, PageKey key) {
  std::vector<Alternate> set;
  if (index.languages[from].tag.empty()) return set;
  std::string fallback;
  std::string default_path;
  for (size_t to = 0; to < index.languages.size(); ++to) {
    const IndexedLanguage& lang = index.languages[to];
    const PageKey there = to == from ? key : counterpart(index, from, key, to);
    if (lang.tag.empty() || !has_page(lang, there)) continue;
    set.push_back({lang.tag, page_path(lang, there)});
    if (fallback.empty()) fallback = set.back().path;
    if (to == index.default_language) default_path = set.back().path;
  }
  if (set.size() < 2) return {};
  // A page the default language lacks still needs a version for readers of
  // no listed language: the first language's.
  set.push_back({"x-default", default_path.empty() ? fallback : default_path});
  return set;
}

void AlternateSets::add(std::string_view source, const std::string& path, const std::string& canonical,
                        const std::vector<Alternate>& set) {
  int id = -1;
  if (!set.empty()) {
    std::vector<Alternate> sorted = set;
    std::sort(sorted.begin(), sorted.end());
    auto [at, added] = set_ids_.emplace(std::move(sorted), static_cast<int>(sets_.size()));
    if (added) sets_.push_back(&at->first);
    id = at->second;
  }
  by_path_.emplace(path, pages_.size());
  pages_.push_back({std::string(source), path, canonical, id});
}

void AlternateSets::absorb(const AlternateSets& later) {
  const std::vector<Alternate> none;
  for (const Declared& page : later.pages_) {
    add(page.source, page.path, page.canonical, page.set < 0 ? none : *later.sets_[static_cast<size_t>(page.set)]);
  }
}

bool AlternateSets::set_has(int set, const std::string& path) const {
  if (set < 0) return false;
  for (const Alternate& a : *sets_[static_cast<size_t>(set)]) {
    if (a.path == path && a.hreflang != "x-default") return true;
  }
  return false;
}

void AlternateSets::check_page(Diagnostics& diag, const Declared& page,
                               const std::function<bool(const std::string&)>& known) const {
  if (!known(page.canonical)) diag.report({page.source}, Msg::canonical_nowhere, page.canonical, page.path);
  if (page.set < 0) return;
  const std::vector<Alternate>& set = *sets_[static_cast<size_t>(page.set)];
  if (std::none_of(set.begin(), set.end(), [](const Alternate& a) { return a.hreflang == "x-default"; })) {
    diag.report({page.source}, Msg::alternates_no_default, page.path);
  }
  if (!set_has(page.set, page.canonical)) diag.report({page.source}, Msg::alternates_no_self, page.path);
  for (const Alternate& a : set) {
    if (a.path == page.canonical) continue;
    auto member = by_path_.find(a.path);
    if (!known(a.path)) {
      diag.report({page.source}, Msg::alternate_nowhere, a.hreflang, a.path, page.path);
    } else if (a.hreflang != "x-default" &&
               (member == by_path_.end() || !set_has(pages_[member->second].set, page.canonical))) {
      diag.report({page.source}, Msg::alternate_not_reciprocal, a.hreflang, a.path, page.path);
    }
  }
}

void AlternateSets::check(Diagnostics& diag, const std::function<bool(const std::string&)>& known) const {
  for (const Declared& page : pages_) check_page(diag, page, known);
}

}  // namespace mt
