#include "site/counterparts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace mt {
namespace {

// A tree from "raw/raw" source paths in tree order; "path=target" gives the
// page a "__COUNTERPART__ target" line.
SupportTree tree_of(const std::vector<std::string>& pages) {
  SupportTree tree;
  for (std::string page : pages) {
    SupportNode node;
    if (size_t eq = page.find('='); eq != std::string::npos) {
      node.counterpart = page.substr(eq + 1);
      page.resize(eq);
    }
    const size_t slash = page.rfind('/');
    std::string raw = page.substr(slash == std::string::npos ? 0 : slash + 1);
    node.source_path = page;
    node.name = raw.substr(raw.find_first_not_of("0123456789-_ "));
    node.slug = node.name;
    if (slash != std::string::npos) node.parent = resolve_counterpart_path(tree, page.substr(0, slash));
    tree.add(std::move(node), std::nullopt);
  }
  return tree;
}

// Every default page with its counterpart ("-" when missing), then "|" and the orphans.
std::string pairs(const std::vector<std::string>& def, const std::vector<std::string>& other) {
  const SupportTree d = tree_of(def), o = tree_of(other);
  const Counterparts c = match_support(d, o);
  std::string text;
  for (size_t i = 0; i < d.nodes().size(); ++i) {
    const int n = c.of_default[i];
    text += (i ? " " : "") + (n < 0 ? std::string("-") : o.nodes()[static_cast<size_t>(n)].source_path);
  }
  text += " |";
  for (int n : c.orphans()) text += " " + o.nodes()[static_cast<size_t>(n)].source_path;
  return text;
}

TEST(Counterparts, Rules) {
  struct Row {
    std::vector<std::string> def, other;
    const char* expected;
  };
  const Row rows[] = {
      // Same name without prefix or case, whatever the order; then the ordering number.
      {{"1 Install", "2 Usage"}, {"2 usage", "1 Install"}, "1 Install 2 usage |"},
      {{"1 Install", "2 Usage"}, {"1 Instalar", "2 Usage"}, "1 Instalar 2 Usage |"},
      // A name match is never taken by an earlier sibling's number match.
      {{"1 Install", "2 Usage"}, {"1 Uso", "2 Install"}, "2 Install - | 1 Uso"},
      // Children only under corresponding parents.
      {{"1 A", "1 A/1 X", "2 B"}, {"1 A", "2 B", "2 B/1 X"}, "1 A - 2 B | 2 B/1 X"},
      // An explicit line wins over names and numbers and carries its children.
      {{"1 A", "1 A/1 X", "2 B"}, {"1 A", "3 Otro=1 A/X.txt", "3 Otro/Y=/2 B"}, "1 A 3 Otro 3 Otro/Y |"},
      // Explicit lines first; a path naming nothing, or a page taken already, leaves an orphan.
      {{"1 A", "2 B"}, {"1 A", "2 B=Nothing", "3 C=a", "4 D=1 A"}, "3 C - | 1 A 2 B 4 D"},
      // Each default page once: the first in tree order wins.
      {{"1 A"}, {"1 A", "1 a"}, "1 A | 1 a"},
      {{"A", "B"}, {}, "- - |"},
  };
  for (const Row& row : rows) EXPECT_EQ(row.expected, pairs(row.def, row.other)) << row.expected;
}

TEST(Counterparts, MarkerLineAndPairsThroughDefault) {
  EXPECT_EQ("Options/1 Colours.txt", counterpart_line("\xEF\xBB\xBF__COUNTERPART__  Options/1 Colours.txt \r\nx\n"));
  EXPECT_EQ("b", counterpart_line("=T=\n __COUNTERPART__ a\n__COUNTERPART__ b\n__COUNTERPART__ c\n"));
  EXPECT_EQ("", counterpart_line("=T=\n_COUNTERPART_ a\n"));

  const SupportTree def = tree_of({"1 A", "2 B"}), de = tree_of({"1 A", "2 B"}), fr = tree_of({"2 B"});
  const Counterparts c_de = match_support(def, de), c_fr = match_support(def, fr);
  EXPECT_EQ(0, through_default(c_de, c_fr, 1));
  EXPECT_EQ(-1, through_default(c_de, c_fr, 0));
  EXPECT_EQ(1, through_default(c_fr, c_de, 0));
}

}  // namespace
}  // namespace mt
