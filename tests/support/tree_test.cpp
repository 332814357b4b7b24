#include "support/tree.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "helpers/fixture.h"
#include "links/urls.h"
#include "platform/fs.h"

namespace mt {
namespace {

using Files = std::vector<std::pair<std::string, std::string>>;
using Paths = std::vector<std::string>;

// The tree of the folder "s" holding `files` (paths below "s").
SupportTree scan(const Files& files, const std::string& folder = "s") {
  test::TempDir dir;
  for (const auto& [path, contents] : files) test::write_file("s/" + path, contents);
  Collator collator;
  SupportTree tree;
  build_support_tree(tree, folder, collator);
  return tree;
}

std::string slashed(std::string path) {
  for (char& c : path) c = c == kSep ? '/' : c;
  return path;
}

// Source paths in tree order, with '/' between names.
Paths order(const SupportTree& tree) {
  Paths paths;
  for (const SupportNode& node : tree.nodes()) paths.push_back(slashed(node.source_path));
  return paths;
}

const SupportNode& node(const SupportTree& tree, const std::string& source_path) {
  for (const SupportNode& n : tree.nodes()) {
    if (slashed(n.source_path) == source_path) return n;
  }
  static const SupportNode none;
  ADD_FAILURE() << "no node " << source_path;
  return none;
}

TEST(SupportTree, Order) {
#ifdef _WIN32
  GTEST_SKIP() << "needs two folders whose names differ only in case, which Windows cannot hold";
#else
  // Numbered names compare as text; "0 Intro" is not numbered, so its title counts.
  EXPECT_EQ((Paths{"02 Search", "10 Options", "2 Search"}),
            order(scan({{"10 Options.txt", ""}, {"02 Search.txt", ""}, {"2 Search.txt", ""}})));
  EXPECT_EQ((Paths{"1 First", "0 Intro"}), order(scan({{"0 Intro.txt", "=Zulu=\n"}, {"1 First.txt", ""}})));
  EXPECT_EQ((Paths{"x", "y"}), order(scan({{"x.txt", "=apple=\n"}, {"y.txt", "=Banana=\n"}})));
  // Equal keys keep the listing order, which ignores case.
  EXPECT_EQ((Paths{"a", "B", "c"}), order(scan({{"B.txt", "=Same=\n"}, {"a.txt", "=same=\n"}, {"c.txt", "=Same=\n"}})));

  // Children follow their page; folders are found without case, the exact
  // name first; a folder without a page beside it and a folder named like a
  // page are not pages.
  SupportTree tree = scan({{"1 A.txt", ""},
                           {"1 A/1 Child.txt", ""},
                           {"1 A/1 Child/1 Grandchild.txt", ""},
                           {"2 B.txt", ""},
                           {"2 b/Case.txt", ""},
                           {"3 Upper.TXT", ""},
                           {"3 UPPER/Other.txt", ""},
                           {"3 Upper/Exact.txt", ""},
                           {"Orphan/Lost.txt", ""},
                           {"Folder.txt/Inner.txt", ""}},
                          "S");
  EXPECT_EQ((Paths{"1 A", "1 A/1 Child", "1 A/1 Child/1 Grandchild", "2 B", "2 B/Case", "3 Upper", "3 Upper/Exact"}),
            order(tree));
  EXPECT_EQ(1, tree.nodes()[2].parent);
  EXPECT_EQ(2, tree.nodes()[2].depth);

  Collator collator;
  build_support_tree(tree, "missing", collator);  // starts from empty, finds nothing
  EXPECT_TRUE(tree.nodes().empty());
#endif
}

TEST(SupportTree, NamesAndPaths) {
#ifdef _WIN32
  GTEST_SKIP() << "needs a name ending in a space, which Windows strips";
#else
  SupportTree tree = scan({{"00.txt", ""},
                           {"_Drafts.txt", ""},
                           {"_Drafts/Idea.txt", ""},
                           {"01 Wendrel.txt", ""},
                           {"01 Wendrel/02 Search.txt", ""},
                           {"01 Wendrel/Tips .txt", ""},
                           {"01 Wendrel/Tips /Basics.txt", ""}});
  ASSERT_EQ(7u, tree.nodes().size());
  const SupportNode& index = node(tree, "00");
  EXPECT_EQ("", index.name + index.slug + index.path_slug);
  EXPECT_EQ("Drafts", node(tree, "_Drafts").name);
  EXPECT_TRUE(node(tree, "_Drafts").hidden);
  EXPECT_FALSE(node(tree, "_Drafts/Idea").hidden);
  EXPECT_EQ("drafts/idea", node(tree, "_Drafts/Idea").path_slug);
  // Regression: slugging the joined names "Wendrel\ Search" put this page
  // under "wendrel/_search" while links resolve to "wendrel/search".
  const SupportNode& search = node(tree, "01 Wendrel/02 Search");
  EXPECT_EQ(" Search", search.name);
  EXPECT_EQ("wendrel/search", search.path_slug);
  EXPECT_EQ("wendrel/tips", node(tree, "01 Wendrel/Tips ").path_slug);
  EXPECT_EQ("wendrel/tips/basics", node(tree, "01 Wendrel/Tips /Basics").path_slug);
#endif
}

TEST(SupportTree, Titles) {
  test::TempDir dir;
  const std::pair<std::string, std::string> cases[] = {
      {"Filters narrow a search.\n== Sub ==\n", "03 Filters"},
      {"=Searching\r\nbody\n", "Searching\r\n"},
      {"\xEF\xBB\xBF=Intro=\n", "Intro"},
      {"== x ==\n=Real= rest\n=Later=\n", "Real"},
      // Lines are read in 4,095-byte pieces, each looked at on its own.
      {std::string(4095, 'x') + "=Piece=\n", "Piece"},
      {std::string(4094, 'x') + "=No=\n=Yes=\n", "Yes"},
  };
  for (const auto& [contents, title] : cases) {
    EXPECT_EQ(title, title_from_text("03 Filters.txt", &contents)) << contents.substr(0, 20);
  }
  EXPECT_EQ("04 Gone", title_from_text("04 Gone.txt", nullptr));
}

TEST(SupportTree, SlugRule) {
  EXPECT_EQ("installing_wendrel", slug("Installing Wendrel", false));
  EXPECT_EQ("whats_new", slug("What's New", false));
  EXPECT_EQ("wendrel/index_old", slug("Wendrel\\Index (old)", false));
  EXPECT_EQ("tips_tricks", slug("Tips & Tricks", false));
  EXPECT_EQ("\xC3\xADndice", slug("\xC3\x8Dndice", false));  // Índice -> índice
  EXPECT_EQ("\xC3\x84pfel", slug("\xC3\x84pfel", false));     // Äpfel stays
  EXPECT_EQ("x#a_b", slug("x# a#b", false));  // one '#' kept, no '_' after it
  EXPECT_EQ("a_b_c", slug("a/b\\c", true));
  EXPECT_EQ("a_", slug("a__", false));
  EXPECT_EQ("Drafts", strip_ordering_prefix("_01-Drafts"));
}

TEST(SupportTree, FindChild) {
  SupportTree tree = scan({{"01 Wendrel.txt", ""},
                           {"01 Wendrel/01_Installing Wendrel.txt", ""},
                           {"01 Wendrel/02_Tips & Tricks.txt", ""},
                           {"01 Wendrel/03_Tips_Tricks.txt", ""}});
  EXPECT_EQ(0, tree.find_child(-1, "WENDREL"));  // by slug: the name has a blank
  EXPECT_EQ(1, tree.find_child(0, "installing wendrel"));
  EXPECT_EQ(1, tree.find_child(0, "INSTALLING_WENDREL"));
  EXPECT_EQ(2, tree.find_child(0, "tips_tricks"));  // first in order, by slug
  EXPECT_EQ(-1, tree.find_child(-1, "installing wendrel"));
  EXPECT_EQ(-1, tree.find_child(1, "tips_tricks"));
}

TEST(SupportTree, Navigation) {
  SupportTree tree = scan({{"1 A.txt", ""},
                           {"1 A/1 A1.txt", ""},
                           {"1 A/1 A1/1 Deep.txt", ""},
                           {"1 A/2 A2.txt", ""},
                           {"1 A/_Hidden.txt", "=Zed=\n"},
                           {"1 A/_Hidden/1 Kid.txt", ""},
                           {"2 B.txt", ""},
                           {"2 B/1 B1.txt", ""},
                           {"3 C.txt", ""}});
  ASSERT_EQ((Paths{"1 A", "1 A/1 A1", "1 A/1 A1/1 Deep", "1 A/2 A2", "1 A/_Hidden", "1 A/_Hidden/1 Kid", "2 B",
                   "2 B/1 B1", "3 C"}),
            order(tree));
  using Shown = std::vector<int>;
  EXPECT_EQ((Shown{0, 1, 3}), tree.shown_in_navigation(0));     // itself and children
  EXPECT_EQ((Shown{0, 1, 2, 3}), tree.shown_in_navigation(1));  // own children too
  EXPECT_EQ((Shown{0, 1, 2, 3}), tree.shown_in_navigation(2));  // ancestors' children
  EXPECT_EQ((Shown{0, 1, 3, 5}), tree.shown_in_navigation(4));  // hidden: never itself
  EXPECT_EQ((Shown{6, 7}), tree.shown_in_navigation(6));
  EXPECT_TRUE(tree.navigation_scrolls(tree.shown_in_navigation(0)));
  EXPECT_FALSE(tree.navigation_scrolls(tree.shown_in_navigation(8)));
}

}  // namespace
}  // namespace mt
