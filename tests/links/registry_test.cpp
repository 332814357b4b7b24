#include "links/registry.h"

#include <gtest/gtest.h>

using namespace mt;

namespace {

const char kRoot[] = "http://www.example.org";

std::string report(LinkRegistry& links) {
  StringSink sink;
  Diagnostics diag{&sink};
  links.final_check(diag);
  return sink.text;
}

}  // namespace

TEST(RegistryTest, KnownTargets) {
  LinkRegistry links(kRoot);
  links.declare("http://www.example.org/de-de/faq", std::nullopt, true);
  links.declare("http://www.example.org/de-de/faq", "intro", true);
  links.declare("/forum", std::nullopt, true);
  links.declare("/wendrel/version.ini", std::nullopt, false);
  links.declare("http://elsewhere.org/x", std::nullopt, false);  // root not at the front: kept whole

  EXPECT_TRUE(links.known("/de-de/faq"));
  EXPECT_TRUE(links.known("/de-de/faq/"));
  EXPECT_TRUE(links.known("/de-de/faq#intro"));
  EXPECT_TRUE(links.known("/de-de/faq/#intro"));
  EXPECT_FALSE(links.known("/de-de/faq#intro/"));
  EXPECT_FALSE(links.known("/de-de/FAQ"));
  EXPECT_TRUE(links.known("/forum"));
  EXPECT_TRUE(links.known("/forum/"));
  EXPECT_TRUE(links.known("/wendrel/version.ini"));
  EXPECT_FALSE(links.known("/wendrel/version.ini/"));
  EXPECT_TRUE(links.known("http://elsewhere.org/x"));

  // The twin's '/' goes after the URL, also when the URL holds a '#' itself.
  links.declare("/a#b", std::nullopt, true);
  links.declare("/c", "d#e", true);
  links.declare("/f/", std::nullopt, true);
  EXPECT_TRUE(links.known("/a#b/"));
  EXPECT_FALSE(links.known("/a/#b"));
  EXPECT_TRUE(links.known("/c/#d#e"));
  EXPECT_FALSE(links.known("/c#d/#e"));
  EXPECT_TRUE(links.known("/f//"));
  EXPECT_FALSE(links.known("/f"));
}

TEST(RegistryTest, FinalCheck) {
#ifdef _WIN32
  GTEST_SKIP() << "expected messages spell paths with '/'";
#else
  LinkRegistry links(kRoot);
  links.record("de-de/faq.txt", 12, "http://www.example.org/de-de/nope");
  links.record("expand_url", 0, "http://www.example.org/de-de/support/gone/");
  links.record("de-de/faq.txt", 13, "/de-de/faq/");                           // declared later
  links.record("de-de/faq.txt", 14, "http://www.example.org/de-de/FAQ");      // case counts
  links.record("de-de/faq.txt", 15, "http://www.example.org/files/setup.zip");  // a file: not checked
  links.record("de-de/faq.txt", 16, "mailto:someone@example.com");
  links.record("de-de/faq.txt", 17, "https://other.org/page");
  links.record("de-de/faq.txt", 18, "http://www.example.org/fr-fr/faq#intro");  // other language
  links.declare("http://www.example.org/de-de/faq", std::nullopt, true);
  links.declare("http://www.example.org/fr-fr/faq", "intro", true);

  const char expected[] =
      "faq.txt:12: warning: broken url /de-de/nope\n"
      "expand_url:0: warning: broken url /de-de/support/gone/\n"
      "faq.txt:14: warning: broken url /de-de/FAQ\n";
  EXPECT_EQ(expected, report(links));
  // Settling forgets only links that are known already; the report is the same.
  links.settle();
  EXPECT_EQ(expected, report(links));
  links.record("de-de/faq.txt", 19, "/de-de/faq");
  links.settle();
  EXPECT_EQ(expected, report(links));
#endif
}

TEST(RegistryTest, ManyTargets) {
  // Enough declarations to grow the table many times over.
  LinkRegistry links(kRoot);
  for (int i = 0; i < 100000; ++i) links.declare("/p" + std::to_string(i), std::to_string(i % 7), i % 2 == 0);
  for (int i = 0; i < 100000; ++i) {
    const std::string page = "/p" + std::to_string(i);
    // Appended, not "#" + ...: GCC 12 at -O3 warns falsely (-Wrestrict) on that.
    std::string anchor = "#";
    anchor += std::to_string(i % 7);
    ASSERT_TRUE(links.known(page + anchor)) << i;
    ASSERT_EQ(i % 2 == 0, links.known(page + "/" + anchor)) << i;
    ASSERT_FALSE(links.known(page + "#x")) << i;
  }
}
