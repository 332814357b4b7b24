#include "links/registry.h"

#include <gtest/gtest.h>

// The table's growth is exercised by the whole-site runs of tests/driver/pathological.table.

namespace mt {
namespace {

std::string report(LinkRegistry& links, bool pedantic = false) {
  StringSink sink;
  Diagnostics diag{&sink};
  links.final_check(diag, pedantic);
  return sink.text;
}

TEST(RegistryTest, KnownTargets) {
  LinkRegistry links("http://www.example.org");
  // URL, anchor, twin. A root not at the front keeps the URL whole; the twin's '/' goes after
  // the URL, also when the URL holds a '#' itself.
  const std::tuple<const char*, std::optional<std::string_view>, bool> declared[] = {
      {"http://www.example.org/de-de/faq", {}, true}, {"http://www.example.org/de-de/faq", "intro", true},
      {"/forum", {}, true}, {"/wendrel/version.ini", {}, false}, {"http://elsewhere.org/x", {}, false},
      {"/a#b", {}, true}, {"/c", "d#e", true}, {"/f/", {}, true}};
  for (const auto& [url, anchor, twin] : declared) links.declare(url, anchor, twin);
  const std::pair<const char*, bool> rows[] = {
      {"/de-de/faq", true}, {"/de-de/faq/", true}, {"/de-de/faq#intro", true}, {"/de-de/faq/#intro", true},
      {"/de-de/faq#intro/", false}, {"/de-de/FAQ", false}, {"/forum", true}, {"/forum/", true},
      {"/wendrel/version.ini", true}, {"/wendrel/version.ini/", false}, {"http://elsewhere.org/x", true},
      {"/a#b/", true}, {"/a/#b", false}, {"/c/#d#e", true}, {"/c#d/#e", false}, {"/f//", true}, {"/f", false}};
  for (const auto& [url, known] : rows) EXPECT_EQ(known, links.known(url)) << url;
}

TEST(RegistryTest, FinalCheck) {
#ifdef _WIN32
  GTEST_SKIP() << "expected messages spell paths with '/'";
#else
  LinkRegistry links("http://www.example.org");
  // Declared later, case counts, files, other schemes and hosts are not checked; other languages are.
  int line = 12;
  for (const char* url : {"http://www.example.org/de-de/nope", "/de-de/faq/", "http://www.example.org/de-de/FAQ",
                          "http://www.example.org/files/setup.zip", "mailto:someone@example.com",
                          "https://other.org/page", "http://www.example.org/fr-fr/faq#intro"}) {
    links.record("de-de/faq.txt", line++, url);
  }
  links.record("expand_url", 0, "http://www.example.org/de-de/support/gone/");
  links.declare("http://www.example.org/de-de/faq", std::nullopt, true);
  links.declare("http://www.example.org/fr-fr/faq", "intro", true);
  const char expected[] =
      "faq.txt:12: warning: broken url /de-de/nope\n"
      "faq.txt:14: warning: broken url /de-de/FAQ\n"
      "expand_url:0: warning: broken url /de-de/support/gone/\n";
  EXPECT_EQ(expected, report(links));
  links.settle();  // forgets only links that are known already
  EXPECT_EQ(expected, report(links));
  // --pedantic: the page's whole path, and the nearest page (or heading, for an anchor) within two edits.
  links.record("de-de/faq.txt", 20, "/fr-fr/faq#Intr");
  EXPECT_EQ("de-de/faq.txt:12: warning: broken url /de-de/nope\n"
            "de-de/faq.txt:14: warning: broken url /de-de/FAQ, did you mean /de-de/faq\n"
            "expand_url:0: warning: broken url /de-de/support/gone/\n"
            "de-de/faq.txt:20: warning: broken url /fr-fr/faq#Intr, did you mean /fr-fr/faq#intro\n",
            report(links, true));
#endif
}

}  // namespace
}  // namespace mt
