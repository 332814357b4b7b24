#pragma once
// Alternate-language sets: which versions of a page a page names, and the
// final check that every written set is whole and reciprocal.

#include <compare>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "diag/diagnostics.h"
#include "site/site_index.h"

namespace mt {

/// One alternate: an hreflang value and the root-relative path it names.
struct Alternate {
  std::string hreflang;
  std::string path;
  auto operator<=>(const Alternate&) const = default;
};

/// The alternates that `key`'s page in language `from` declares: one per
/// tagged language that has the page, in load order, then "x-default" (the
/// default language's version, else the first one). Empty when `from` has
/// no tag or fewer than two tagged languages have the page.
std::vector<Alternate> alternates(const SiteIndex& index, size_t from, PageKey key);

/// The sets that pages declared, checked once every page is written.
class AlternateSets {
 public:
  /// Notes that the page at `path` (root-relative) from `source` declared
  /// `canonical` and `set`.
  void add(std::string_view source, const std::string& path, const std::string& canonical,
           const std::vector<Alternate>& set);

  /// Adds the pages `later` noted, in their order, after those noted here.
  void absorb(const AlternateSets& later);

  bool empty() const { return pages_.empty(); }

  /// Reports, under each page's source: a set without "x-default", a set
  /// that leaves out the page's canonical address, a member that declares
  /// no set or one without the page. `known` tells whether a path is a page
  /// of the run (a member that is not leads nowhere).
  void check(Diagnostics& diag, const std::function<bool(const std::string&)>& known) const;

 private:
  struct Declared {
    std::string source;
    std::string path;
    std::string canonical;
    int set = -1;  // into sets_
  };
  bool set_has(int set, const std::string& path) const;
  void check_page(Diagnostics& diag, const Declared& page, const std::function<bool(const std::string&)>& known) const;

  // Pages of one group declare the same set: each distinct set is kept once.
  std::map<std::vector<Alternate>, int> set_ids_;
  std::vector<const std::vector<Alternate>*> sets_;
  std::vector<Declared> pages_;
  std::unordered_map<std::string, size_t> by_path_;  // path -> pages_ index
};

}  // namespace mt
