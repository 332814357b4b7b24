// The site configuration file: line grammar, patterns, refused values.

#include <gtest/gtest.h>

#include "driver/config_file.h"
#include "helpers/fixture.h"

namespace mt::test {
namespace {

/// The configuration read from `text` (null: no file), and the messages of reading it.
std::pair<SiteConfig, std::string> load(const char* text) {
  if (text) write_file("maketarnwick.conf", text);
  StringSink out;
  Diagnostics diag;
  diag.out = &out;
  SiteConfig config = load_site_config(SourceRoot(), diag);
  return {config, out.text};
}

TEST(ConfigFile, Lines) {
  TempDir dir;
  using C = SiteConfig;
  const std::string kSyntax = "warning: expected KEY = \"value\"\n", kUnsafe = "1: error: unsafe value for ";
  const struct {
    const char* text;
    std::string message;  // after "maketarnwick.conf:"
    std::string SiteConfig::*field;
    const char* value;
  } rows[] = {
      // clang-format off
      // A new release is one line; every name derived from it follows.
      {"VERSION = \"2.0.0.1\"\n", "", &C::current_prefix, "Wendrel-2.0.0.1"},
      {"VERSION = \"2.0.0.1\"\n", "", &C::checksum_file, "/Wendrel-2.0.0.1.sha256"},
      {"VERSION = \"2.0.0.1\"\n", "", &C::previous_prefix, "Wendrel-1.3.4.686"},
      {"\xEF\xBB\xBF// release\r\n\r\n  PRODUCT_NAME\t=  \"Foo\"  \r\n", "", &C::language_pack_file, "Foo.lng.zip"},
      // A pattern is expanded with the values of the whole file.
      {"CHECKSUM_FILE = \"/sums/{{version}}.txt\"\nVERSION = \"9\"\n", "", &C::checksum_file, "/sums/9.txt"},
      {"CONTACT_ADDRESS = \"me@x.org\"\nCONTACT_ADDRESS = \"you@x.org\"\n", "", &C::contact_address, "you@x.org"},
      {"SEARCH_ENDPOINT = \"https://s.example/?a=1&b=2\"\n", "", &C::search_endpoint, "https://s.example/?a=1&b=2"},
      {"COLOUR = \"red\"\n", "1: warning: unknown key COLOUR\n", &C::version, "1.4.1.877"},
      {"version = \"3\"\n", "", &C::version, "3"},
      {"\nVERSION \"3\"\n", "2: " + kSyntax, &C::version, "1.4.1.877"},
      {"VERSION = \"3\n", "1: " + kSyntax, &C::version, "1.4.1.877"},
      {"SITE_NAME = \"a\"b\"\n", "1: " + kSyntax, &C::site_name, "tarnwick"},
      {"= \"x\"\n", "1: " + kSyntax, &C::version, "1.4.1.877"},
      // Values that would break out of a PHP string or an attribute.
      {"CONTACT_ADDRESS = \"x$y@z\"\n", kUnsafe + "CONTACT_ADDRESS: x$y@z\n", &C::contact_address,
       "contact@tarnwick.example"},
      {"NO_REPLY_ADDRESS = \"a\\b\"\n", kUnsafe + "NO_REPLY_ADDRESS: a\\b\n", &C::no_reply_address,
       "no-reply@tarnwick.example"},
      {"SITE_NAME = \"a\tb\"\n", kUnsafe + "SITE_NAME: a\\tb\n", &C::site_name, "tarnwick"},
      {"SITE_NAME = \"a\x7F\"\n", kUnsafe + "SITE_NAME: a\\x7f\n", &C::site_name, "tarnwick"},
      // The version lands in the download heading's text: never markup.
      {"VERSION = \"<img src=x onerror=alert(1)>\"\n", kUnsafe + "VERSION: <img src=x onerror=alert(1)>\n", &C::version,
       "1.4.1.877"},
      // Values that name files must stay inside the output folder.
      {"VERSION = \"..\"\n", kUnsafe + "VERSION: ..\n", &C::current_prefix, "Wendrel-1.4.1.877"},
      {"PRODUCT_NAME = \"a/b\"\n", kUnsafe + "PRODUCT_NAME: a/b\n", &C::product_name, "Wendrel"},
      {"CLI_FILE = \"/etc/passwd\"\n", kUnsafe + "CLI_FILE: /etc/passwd\n", &C::cli_file, "WCL-1.1.0.8.zip"},
      {"SDK_FILE = \"\"\n", kUnsafe + "SDK_FILE: \n", &C::sdk_file, "Wendrel-SDK.zip"},
      {"SDK_FILE = \".\"\n", kUnsafe + "SDK_FILE: .\n", &C::sdk_file, "Wendrel-SDK.zip"},
      {"CHANGES_FILE = \"Changes.txt\"\n", kUnsafe + "CHANGES_FILE: Changes.txt\n", &C::changes_file, "/Changes.txt"},
      {"CHANGES_FILE = \"/../x\"\n", kUnsafe + "CHANGES_FILE: /../x\n", &C::changes_file, "/Changes.txt"},
      // Every key naming a file or a site path expands the placeholders, one row per key.
      {"CURRENT_FILE_PREFIX = \"{{PRODUCT_NAME}}_{{VERSION}}\"\n", "", &C::current_prefix, "Wendrel_1.4.1.877"},
      {"PREVIOUS_FILE_PREFIX = \"{{PREVIOUS_VERSION}}\"\n", "", &C::previous_prefix, "1.3.4.686"},
      {"LANGUAGE_PACK_FILE = \"{{VERSION}}.zip\"\n", "", &C::language_pack_file, "1.4.1.877.zip"},
      {"SDK_FILE = \"{{VERSION}}.zip\"\n", "", &C::sdk_file, "1.4.1.877.zip"},
      {"OFFLINE_HELP_FILE = \"{{VERSION}}.zip\"\n", "", &C::offline_help_file, "1.4.1.877.zip"},
      {"CLI_FILE = \"{{PRODUCT_NAME}}-{{VERSION}}.zip\"\n", "", &C::cli_file, "Wendrel-1.4.1.877.zip"},
      {"CHANGES_FILE = \"/{{VERSION}}.txt\"\n", "", &C::changes_file, "/1.4.1.877.txt"},
      {"CHECKSUM_FILE = \"/{{VERSION}}\"\n", "", &C::checksum_file, "/1.4.1.877"},
      {"VERSION_INI = \"/{{PREVIOUS_VERSION}}.ini\"\n", "", &C::version_ini, "/1.3.4.686.ini"},
      {"RELEASE_FOLDER = \"r/{{VERSION}}\"\n", "", &C::release_folder, "r/1.4.1.877"},
      // The expanded name is what is checked, at the pattern's line.
      {"\nCURRENT_FILE_PREFIX = \"../{{VERSION}}\"\nVERSION = \"5\"\n",
       "2: error: unsafe value for CURRENT_FILE_PREFIX: ../5\n", &C::current_prefix, "Wendrel-5"},
      // clang-format on
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    const auto [config, messages] = load(row.text);
    EXPECT_EQ(row.message.empty() ? "" : "maketarnwick.conf:" + row.message, messages);
    EXPECT_EQ(row.value, config.*row.field);
  }
}

TEST(ConfigFile, AbsentFileAndDefaultTextGiveTheDefaults) {
  TempDir dir;
  const std::pair<SiteConfig, std::string> defaults = {SiteConfig{}, ""};
  EXPECT_TRUE(load(nullptr) == defaults);
  // The commented-out file that --init writes, with every key switched on,
  // must describe exactly today's values.
  std::string text = default_config_text();
  for (size_t at = text.find("\n// "); at != std::string::npos; at = text.find("\n// ", at + 1)) {
    if (text.find(" = \"", at) < text.find('\n', at + 1)) text.erase(at + 1, 3);
  }
  EXPECT_EQ(28u, count(text, "\"\n"));
  EXPECT_TRUE(load(text.c_str()) == defaults) << load(text.c_str()).second;
}

}  // namespace
}  // namespace mt::test
