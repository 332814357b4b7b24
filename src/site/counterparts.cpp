#include "site/counterparts.h"

#include <cstdint>
#include <unordered_map>

#include "platform/fs.h"
#include "platform/lines.h"
#include "platform/numbers.h"
#include "platform/text.h"

namespace mt {

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && is_blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && is_blank(s.back())) s.remove_suffix(1);
  return s;
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// The raw file name of a node, ordering prefix included, without ".txt".
std::string_view raw_name(const SupportNode& node) { return file_name_of(node.source_path); }

// The ordering number of a node, or -1 when its file name has none; "0"
// counts as none, as it does for the tree's order.
int ordering_number(const SupportNode& node) {
  std::string_view raw = raw_name(node);
  if (raw.empty() || !is_digit(raw[0])) return -1;
  const int n = leading_int(raw);
  return n == 0 ? -1 : n;
}

// One sibling group of each tree, as node indexes in tree order.
const std::vector<int>& children_of(const SupportTree& tree, int parent, std::vector<int>& top) {
  if (parent >= 0) return tree.nodes()[static_cast<size_t>(parent)].children;
  if (top.empty()) {
    for (size_t i = 0; i < tree.nodes().size(); ++i) {
      if (tree.nodes()[i].parent < 0) top.push_back(static_cast<int>(i));
    }
  }
  return top;
}

void pair(Counterparts& c, int d, int o) {
  c.of_default[static_cast<size_t>(d)] = o;
  c.of_other[static_cast<size_t>(o)] = d;
}

// Steps 2 and 3 over one pair of sibling groups. Pages that name their
// counterpart are left to step 1, even when their path named nothing.
template <typename Key>
void match_group(const SupportTree& def, const SupportTree& other, const std::vector<int>& defs,
                 const std::vector<int>& others, Counterparts& c, Key key) {
  // Key -> free default siblings with it, in tree order (wide folders stay linear).
  std::unordered_map<std::string, std::vector<int>> free;
  for (auto it = defs.rbegin(); it != defs.rend(); ++it) {
    std::string k = key(def.nodes()[static_cast<size_t>(*it)]);
    if (!k.empty() && c.of_default[static_cast<size_t>(*it)] < 0) free[k].push_back(*it);
  }
  for (int o : others) {
    const SupportNode& node = other.nodes()[static_cast<size_t>(o)];
    if (c.of_other[static_cast<size_t>(o)] >= 0 || !node.counterpart.empty()) continue;
    auto it = free.find(key(node));
    if (it == free.end() || it->second.empty()) continue;
    pair(c, it->second.back(), o);
    it->second.pop_back();
  }
}

std::string name_key(const SupportNode& node) { return ascii_lower(node.name); }
std::string number_key(const SupportNode& node) {
  const int n = ordering_number(node);
  return n < 0 ? std::string() : std::to_string(n);
}

}  // namespace

std::string counterpart_line(std::string_view text) {
  if (text.find(kCounterpartMarker) == std::string_view::npos) return {};  // nearly every page
  TextLines lines(text, LineRules{SIZE_MAX, true, true});
  TextLine piece;
  while (lines.next(&piece)) {
    std::string_view line = piece.text;
    if (!line.starts_with(kCounterpartMarker)) continue;
    line.remove_prefix(kCounterpartMarker.size());
    return std::string(trimmed(line));
  }
  return {};
}

int resolve_counterpart_path(const SupportTree& tree, std::string_view path) {
  int parent = -1;
  std::vector<int> top;
  while (!path.empty()) {
    const size_t cut = path.find_first_of("/\\");
    std::string_view part = trimmed(path.substr(0, cut));
    path = cut == std::string_view::npos ? std::string_view() : path.substr(cut + 1);
    if (path.empty() && has_txt_extension(part)) part.remove_suffix(4);
    if (part.empty()) continue;  // "a//b", a leading or trailing '/'
    int found = -1;
    for (int n : children_of(tree, parent, top)) {
      const SupportNode& node = tree.nodes()[static_cast<size_t>(n)];
      if (equal_no_case(raw_name(node), part) || equal_no_case(node.name, part)) {
        found = n;
        break;
      }
    }
    if (found < 0) return -1;
    parent = found;
  }
  return parent;
}

std::vector<int> Counterparts::missing() const {
  std::vector<int> out;
  for (size_t i = 0; i < of_default.size(); ++i) {
    if (of_default[i] < 0) out.push_back(static_cast<int>(i));
  }
  return out;
}

std::vector<int> Counterparts::orphans() const {
  std::vector<int> out;
  for (size_t i = 0; i < of_other.size(); ++i) {
    if (of_other[i] < 0) out.push_back(static_cast<int>(i));
  }
  return out;
}

Counterparts match_support(const SupportTree& def, const SupportTree& other) {
  Counterparts c;
  c.of_default.assign(def.nodes().size(), -1);
  c.of_other.assign(other.nodes().size(), -1);
  for (size_t o = 0; o < other.nodes().size(); ++o) {
    const std::string& path = other.nodes()[o].counterpart;
    if (path.empty()) continue;
    const int d = resolve_counterpart_path(def, path);
    if (d >= 0 && c.of_default[static_cast<size_t>(d)] < 0) pair(c, d, static_cast<int>(o));
  }
  // Pre-order: a page is paired (or not) before its children's group is matched.
  std::vector<int> def_top, other_top;
  auto group = [&](int d, int o) {
    const std::vector<int>& defs = children_of(def, d, def_top);
    const std::vector<int>& others = children_of(other, o, other_top);
    match_group(def, other, defs, others, c, name_key);
    match_group(def, other, defs, others, c, number_key);
  };
  group(-1, -1);
  for (size_t o = 0; o < other.nodes().size(); ++o) {
    if (c.of_other[o] >= 0) group(c.of_other[o], static_cast<int>(o));
  }
  return c;
}

int through_default(const Counterparts& a, const Counterparts& b, int node_a) {
  if (node_a < 0 || static_cast<size_t>(node_a) >= a.of_other.size()) return -1;
  const int d = a.of_other[static_cast<size_t>(node_a)];
  if (d < 0 || static_cast<size_t>(d) >= b.of_default.size()) return -1;
  return b.of_default[static_cast<size_t>(d)];
}

}  // namespace mt
