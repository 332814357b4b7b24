// The final check of alternate sets: the faults that sets written by hand
// or by a broken build show, each named under the page that declared it.

#include "links/alternates.h"

#include <gtest/gtest.h>

#include "platform/sink.h"

namespace mt {
namespace {

TEST(AlternateSets, Faults) {
  AlternateSets sets;
  using Set = std::vector<Alternate>;
  const Set good = {{"en-US", "/a/"}, {"de-DE", "/de-de/a/"}, {"x-default", "/a/"}};
  sets.add("a.txt", "/a/", "/a/", good);
  sets.add("de-de/a.txt", "/de-de/a/", "/de-de/a/", good);
  sets.add("en-us/a.txt", "/en-us/a/", "/a/", good);  // the second copy names the first
  sets.add("b.txt", "/b/", "/b/", {{"en-US", "/b/"}, {"fr-FR", "/fr-fr/b/"}});
  sets.add("fr-fr/b.txt", "/fr-fr/b/", "/fr-fr/b/", {{"en-US", "/b/"}, {"x-default", "/b/"}});
  sets.add("c.txt", "/c/", "/c/",
           {{"en-US", "/c/"}, {"it-IT", "/it-it/c/"}, {"ja-JP", "/ja-jp/c/"}, {"x-default", "/c/"}});
  sets.add("d.txt", "/d/", "/gone/", {});
  StringSink out;
  Diagnostics diag{&out};
  const std::set<std::string> pages = {"/a/", "/de-de/a/", "/en-us/a/", "/b/", "/fr-fr/b/", "/c/", "/it-it/c/", "/d/"};
  sets.check(diag, [&](const std::string& path) { return pages.count(path) > 0; });
  std::string expected =
      "b.txt: warning: alternate links of page /b/ name no x-default\n"
      "fr-fr/b.txt: warning: alternate links of page /fr-fr/b/ leave the page out\n"
      "c.txt: warning: alternate it-IT /it-it/c/ of page /c/ does not link back\n"
      "c.txt: warning: alternate ja-JP /ja-jp/c/ of page /c/ leads nowhere\n"
      "d.txt: warning: canonical address /gone/ of page /d/ leads nowhere\n";
#ifdef _WIN32
  expected.replace(expected.find("fr-fr/b.txt"), 11, "fr-fr\\b.txt");  // the file as Windows shows paths
#endif
  EXPECT_EQ(expected, out.text);
}

}  // namespace
}  // namespace mt
