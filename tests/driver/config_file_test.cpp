// The site configuration file: line grammar, patterns, refused values.

#include <gtest/gtest.h>

#include "driver/config_file.h"
#include "helpers/fixture.h"

namespace mt::test {
namespace {

struct Loaded {
  SiteConfig config;
  std::string messages;
};

Loaded load(const std::string& text) {
  write_file("maketarnwick.conf", text);
  StringSink out;
  Diagnostics diag;
  diag.out = &out;
  Loaded loaded{load_site_config(diag), out.text};
  return loaded;
}

TEST(ConfigFile, Lines) {
  TempDir dir;
  const SiteConfig defaults;
  struct Row {
    const char* text;
    const char* messages;
    std::string SiteConfig::*field;
    const char* value;
  };
  const Row rows[] = {
      // A new release is one line; every name derived from it follows.
      {"VERSION = \"2.0.0.1\"\n", "", &SiteConfig::current_prefix, "Wendrel-2.0.0.1"},
      {"VERSION = \"2.0.0.1\"\n", "", &SiteConfig::checksum_file, "/Wendrel-2.0.0.1.sha256"},
      {"VERSION = \"2.0.0.1\"\n", "", &SiteConfig::previous_prefix, "Wendrel-1.3.4.686"},
      {"\xEF\xBB\xBF// release\r\n\r\n  PRODUCT_NAME\t=  \"Foo\"  \r\n", "", &SiteConfig::language_pack_file,
       "Foo.lng.zip"},
      // A pattern is expanded with the values of the whole file.
      {"CHECKSUM_FILE = \"/sums/{{version}}.txt\"\nVERSION = \"9\"\n", "", &SiteConfig::checksum_file, "/sums/9.txt"},
      {"CONTACT_ADDRESS = \"me@example.org\"\nCONTACT_ADDRESS = \"you@example.org\"\n", "",
       &SiteConfig::contact_address, "you@example.org"},
      {"SEARCH_ENDPOINT = \"https://s.example/search?a=1&b=<2>\"\n", "", &SiteConfig::search_endpoint,
       "https://s.example/search?a=1&b=<2>"},
      {"COLOUR = \"red\"\n", "maketarnwick.conf:1: warning: unknown key COLOUR\n", nullptr, nullptr},
      {"version = \"3\"\n", "", &SiteConfig::version, "3"},
      {"\nVERSION \"3\"\n", "maketarnwick.conf:2: warning: expected KEY = \"value\"\n", &SiteConfig::version,
       "1.4.1.877"},
      {"VERSION = \"3\n", "maketarnwick.conf:1: warning: expected KEY = \"value\"\n", &SiteConfig::version,
       "1.4.1.877"},
      {"SITE_NAME = \"a\"b\"\n", "maketarnwick.conf:1: warning: expected KEY = \"value\"\n", &SiteConfig::site_name,
       "tarnwick"},
      {"= \"x\"\n", "maketarnwick.conf:1: warning: expected KEY = \"value\"\n", nullptr, nullptr},
      // Values that would break out of a PHP string or an attribute.
      {"CONTACT_ADDRESS = \"x$y@z\"\n", "maketarnwick.conf:1: error: unsafe value for CONTACT_ADDRESS: x$y@z\n",
       &SiteConfig::contact_address, "contact@tarnwick.example"},
      {"NO_REPLY_ADDRESS = \"a\\b\"\n", "maketarnwick.conf:1: error: unsafe value for NO_REPLY_ADDRESS: a\\b\n",
       &SiteConfig::no_reply_address, "no-reply@tarnwick.example"},
      {"SITE_NAME = \"a\tb\"\n", "maketarnwick.conf:1: error: unsafe value for SITE_NAME: a\\tb\n",
       &SiteConfig::site_name, "tarnwick"},
      {"SITE_NAME = \"a\x7F\"\n", "maketarnwick.conf:1: error: unsafe value for SITE_NAME: a\\x7f\n",
       &SiteConfig::site_name, "tarnwick"},
      // Values that name files must stay inside the output folder.
      {"VERSION = \"..\"\n", "maketarnwick.conf:1: error: unsafe value for VERSION: ..\n", &SiteConfig::current_prefix,
       "Wendrel-1.4.1.877"},
      {"PRODUCT_NAME = \"a/b\"\n", "maketarnwick.conf:1: error: unsafe value for PRODUCT_NAME: a/b\n",
       &SiteConfig::product_name, "Wendrel"},
      {"CLI_FILE = \"/etc/passwd\"\n", "maketarnwick.conf:1: error: unsafe value for CLI_FILE: /etc/passwd\n",
       &SiteConfig::cli_file, "WCL-1.1.0.8.zip"},
      {"SDK_FILE = \"\"\n", "maketarnwick.conf:1: error: unsafe value for SDK_FILE: \n", &SiteConfig::sdk_file,
       "Wendrel-SDK.zip"},
      {"SDK_FILE = \".\"\n", "maketarnwick.conf:1: error: unsafe value for SDK_FILE: .\n", &SiteConfig::sdk_file,
       "Wendrel-SDK.zip"},
      {"CHANGES_FILE = \"Changes.txt\"\n", "maketarnwick.conf:1: error: unsafe value for CHANGES_FILE: Changes.txt\n",
       &SiteConfig::changes_file, "/Changes.txt"},
      {"CHANGES_FILE = \"/../x\"\n", "maketarnwick.conf:1: error: unsafe value for CHANGES_FILE: /../x\n",
       &SiteConfig::changes_file, "/Changes.txt"},
      // The expanded name is what is checked, at the pattern's line.
      {"\nCURRENT_FILE_PREFIX = \"../{{VERSION}}\"\nVERSION = \"5\"\n",
       "maketarnwick.conf:2: error: unsafe value for CURRENT_FILE_PREFIX: ../5\n", &SiteConfig::current_prefix,
       "Wendrel-5"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    Loaded loaded = load(row.text);
    EXPECT_EQ(row.messages, loaded.messages);
    if (row.field) {
      EXPECT_EQ(row.value, loaded.config.*row.field);
    }
  }
}

TEST(ConfigFile, AbsentFileAndDefaultTextGiveTheDefaults) {
  TempDir dir;
  StringSink out;
  Diagnostics diag;
  diag.out = &out;
  EXPECT_TRUE(load_site_config(diag) == SiteConfig{});
  EXPECT_EQ("", out.text);

  // The commented-out file that --init writes, with every key switched on,
  // must describe exactly today's values.
  std::string text = default_config_text();
  EXPECT_TRUE(load(text).config == SiteConfig{});
  for (size_t at = text.find("\n// "); at != std::string::npos; at = text.find("\n// ", at + 1)) {
    size_t end = text.find('\n', at + 1);
    if (text.find(" = \"", at) < end) text.erase(at + 1, 3);
  }
  EXPECT_EQ(21u, count(text, "\"\n"));
  Loaded all = load(text);
  EXPECT_EQ("", all.messages);
  EXPECT_TRUE(all.config == SiteConfig{});
}

}  // namespace
}  // namespace mt::test
