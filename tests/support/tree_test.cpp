#include "support/tree.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "helpers/fixture.h"
#include "links/urls.h"
#include "platform/fs.h"

namespace mt {
namespace {

using Files = std::vector<std::pair<std::string, std::string>>;

// The tree of the folder `folder` when "s" holds `files`.
SupportTree scan(const Files& files, const std::string& folder = "s") {
  test::TempDir dir;
  for (const auto& [path, contents] : files) test::write_file("s/" + path, contents);
  Collator collator;
  SupportTree tree;
  SourceRoot sources;
  build_support_tree(tree, sources, folder, collator);
  return tree;
}

// `field` of every node in tree order, "|" between nodes and '/' between names.
template <typename Field>
std::string listed(const SupportTree& tree, Field field) {
  std::string text;
  for (const SupportNode& node : tree.nodes()) {
    if (!text.empty()) text += '|';
    text += field(node);
  }
  return text;
}
std::string order(const SupportTree& tree) {
  return listed(tree, [](const SupportNode& n) { return n.source_path; });
}

TEST(SupportTree, OrderAndNames) {
#ifdef _WIN32
  GTEST_SKIP() << "needs names that differ only in case or end in a space, which Windows cannot hold";
#else
  const std::pair<Files, const char*> rows[] = {
      // Numbered names compare as text; "0 Intro" is not numbered, so its title counts.
      {{{"10 Options.txt", ""}, {"02 Search.txt", ""}, {"2 Search.txt", ""}}, "02 Search|10 Options|2 Search"},
      {{{"0 Intro.txt", "=Zulu=\n"}, {"1 First.txt", ""}}, "1 First|0 Intro"},
      // Titles compare without case; equal keys keep the listing order, which ignores case too.
      {{{"B.txt", "=Same=\n"}, {"a.txt", "=same=\n"}, {"c.txt", "=Same=\n"}}, "a|B|c"},
  };
  for (const auto& [files, expected] : rows) EXPECT_EQ(expected, order(scan(files)));

  // Children follow their page; folders are found without case, the exact
  // name first; a folder without a page beside it and a folder named like a
  // page are not pages.
  SupportTree tree = scan({{"1 A.txt", ""}, {"1 A/1 Child.txt", ""}, {"1 A/1 Child/1 Grandchild.txt", ""},
                           {"2 B.txt", ""}, {"2 b/Case.txt", ""}, {"3 Upper.TXT", ""}, {"3 UPPER/Other.txt", ""},
                           {"3 Upper/Exact.txt", ""}, {"Orphan/Lost.txt", ""}, {"Folder.txt/Inner.txt", ""}},
                          "S");
  EXPECT_EQ("1 A|1 A/1 Child|1 A/1 Child/1 Grandchild|2 B|2 B/Case|3 Upper|3 Upper/Exact", order(tree));
  EXPECT_EQ(1, tree.nodes()[2].parent);
  EXPECT_EQ(2, tree.nodes()[2].depth);
  Collator collator;
  SourceRoot sources;
  build_support_tree(tree, sources, "missing", collator);  // starts from empty, finds nothing
  EXPECT_TRUE(tree.nodes().empty());

  // Ordering prefixes and a leading '_' (hidden) leave the name; slugs join
  // the slugged names, so a name's blanks never become a leading '_'.
  tree = scan({{"00.txt", ""}, {"_Drafts.txt", ""}, {"_Drafts/Idea.txt", ""}, {"01 Wendrel.txt", ""},
               {"01 Wendrel/02 Search.txt", ""}, {"01 Wendrel/Tips .txt", ""}, {"01 Wendrel/Tips /Basics.txt", ""}});
  EXPECT_EQ("Drafts|Idea|| Wendrel| Search|Tips |Basics", listed(tree, [](auto& n) { return n.name; }));
  EXPECT_EQ("drafts|drafts/idea||wendrel|wendrel/search|wendrel/tips|wendrel/tips/basics",
            listed(tree, [](auto& n) { return n.path_slug; }));
  EXPECT_EQ("x||||||", listed(tree, [](auto& n) { return n.hidden ? "x" : ""; }));
#endif
}

TEST(SupportTree, Titles) {
  const std::pair<std::string, std::string> rows[] = {
      {"Filters narrow a search.\n== Sub ==\n", "03 Filters"},
      {"=Searching\r\nbody\n", "Searching\r\n"},
      {"\xEF\xBB\xBF=Intro=\n", "Intro"},
      {"== x ==\n=Real= rest\n=Later=\n", "Real"},
      // Lines are read in 4,095-byte pieces, each looked at on its own.
      {std::string(4095, 'x') + "=Piece=\n", "Piece"},
      {std::string(4094, 'x') + "=No=\n=Yes=\n", "Yes"},
  };
  for (const auto& [contents, title] : rows) {
    EXPECT_EQ(title, title_from_text("03 Filters.txt", &contents)) << contents.substr(0, 20);
  }
  EXPECT_EQ("04 Gone", title_from_text("04 Gone.txt", nullptr));
}

TEST(SupportTree, SlugRule) {
  const std::pair<const char*, const char*> rows[] = {
      {"Installing Wendrel", "installing_wendrel"}, {"What's New", "whats_new"}, {"Tips & Tricks", "tips_tricks"},
      {"Wendrel\\Index (old)", "wendrel/index_old"},  {"a__", "a_"},
      {"\xC3\x8Dndice", "\xC3\xADndice"},  // Índice -> índice
      {"\xC3\x84pfel", "\xC3\x84pfel"},    // Äpfel stays
      {"x# a#b", "x#a_b"},                 // one '#' kept, no '_' after it
  };
  for (const auto& [name, expected] : rows) EXPECT_EQ(expected, slug(name, false)) << name;
  EXPECT_EQ("a_b_c", slug("a/b\\c", true));
  EXPECT_EQ("Drafts", strip_ordering_prefix("_01-Drafts"));
}

TEST(SupportTree, FindChildAndNavigation) {
  SupportTree tree = scan({{"01 Wendrel.txt", ""}, {"01 Wendrel/01_Installing Wendrel.txt", ""},
                           {"01 Wendrel/02_Tips & Tricks.txt", ""}, {"01 Wendrel/03_Tips_Tricks.txt", ""}});
  // By name or slug, without case; the first in order wins; only among the parent's children.
  const std::tuple<int, const char*, int> finds[] = {
      {-1, "WENDREL", 0}, {0, "installing wendrel", 1}, {0, "INSTALLING_WENDREL", 1}, {0, "tips_tricks", 2},
      {-1, "installing wendrel", -1}, {1, "tips_tricks", -1}};
  for (const auto& [parent, name, found] : finds) EXPECT_EQ(found, tree.find_child(parent, name)) << name;

  tree = scan({{"1 A.txt", ""}, {"1 A/1 A1.txt", ""}, {"1 A/1 A1/1 Deep.txt", ""}, {"1 A/2 A2.txt", ""},
               {"1 A/_Hidden.txt", "=Zed=\n"}, {"1 A/_Hidden/1 Kid.txt", ""}, {"2 B.txt", ""}, {"2 B/1 B1.txt", ""},
               {"3 C.txt", ""}});
  ASSERT_EQ("1 A|1 A/1 A1|1 A/1 A1/1 Deep|1 A/2 A2|1 A/_Hidden|1 A/_Hidden/1 Kid|2 B|2 B/1 B1|3 C", order(tree));
  // Itself and its children, its own children too, its ancestors' children; a hidden page never itself.
  const std::pair<int, std::vector<int>> shown[] = {{0, {0, 1, 3}}, {1, {0, 1, 2, 3}}, {2, {0, 1, 2, 3}},
                                                    {4, {0, 1, 3, 5}}, {6, {6, 7}}};
  for (const auto& [current, nodes] : shown) EXPECT_EQ(nodes, tree.shown_in_navigation(current)) << current;
  EXPECT_TRUE(tree.navigation_scrolls(tree.shown_in_navigation(0)));
  EXPECT_FALSE(tree.navigation_scrolls(tree.shown_in_navigation(8)));
}

}  // namespace
}  // namespace mt
