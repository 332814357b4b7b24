#include "driver/config_file.h"

#include <string_view>
#include <vector>

#include "platform/fs.h"
#include "platform/lines.h"
#include "platform/text.h"

namespace mt {

namespace {

enum class Kind {
  kText,      // embedded in page attributes or in PHP strings
  kNamePart,  // also a part of file names
  kFile,      // a file name in the output root (a pattern)
  kSitePath,  // a link from the site root, "/" first (a pattern)
  kFolder,    // a folder of the source folder, or "" for none (a pattern)
  kSwitch,    // "on" or "off"
};

struct Key {
  const char* name;
  std::string SiteConfig::*field;
  Kind kind;
  const char* pattern;  // default pattern of a file name; null: the field's default
  const char* comment;
};

// Every name of a file or a site path takes the placeholders, whether its
// default uses them or not.
bool is_pattern(const Key& key) {
  return key.kind == Kind::kFile || key.kind == Kind::kSitePath || key.kind == Kind::kFolder;
}

std::string default_pattern(const Key& key) { return key.pattern ? std::string(key.pattern) : SiteConfig{}.*key.field; }

const Key kKeys[] = {
    {"PRODUCT_NAME", &SiteConfig::product_name, Kind::kNamePart, nullptr,
     "Product name: screenshot alt text, donation item name, release file names"},
    {"SITE_NAME", &SiteConfig::site_name, Kind::kText, nullptr,
     "Site name: logo alt text, RSS feed title, subject of contact mails"},
    {"VERSION", &SiteConfig::version, Kind::kNamePart, nullptr, "The release on offer"},
    {"PREVIOUS_VERSION", &SiteConfig::previous_version, Kind::kNamePart, nullptr,
     "The release before it, still listed among all downloads"},
    {"CURRENT_FILE_PREFIX", &SiteConfig::current_prefix, Kind::kFile, "{{PRODUCT_NAME}}-{{VERSION}}",
     "Start of the current release's file names (\".x86-Setup.exe\", \".x64.zip\"... follow)"},
    {"PREVIOUS_FILE_PREFIX", &SiteConfig::previous_prefix, Kind::kFile, "{{PRODUCT_NAME}}-{{PREVIOUS_VERSION}}",
     "Start of the previous release's file names"},
    {"LANGUAGE_PACK_FILE", &SiteConfig::language_pack_file, Kind::kFile, "{{PRODUCT_NAME}}.lng.zip",
     "Language pack, in the output folder"},
    {"SDK_FILE", &SiteConfig::sdk_file, Kind::kFile, "{{PRODUCT_NAME}}-SDK.zip", "SDK, in the output folder"},
    {"OFFLINE_HELP_FILE", &SiteConfig::offline_help_file, Kind::kFile, "{{PRODUCT_NAME}}.chm.zip",
     "Offline help, in the output folder"},
    {"CLI_FILE", &SiteConfig::cli_file, Kind::kFile, nullptr, "Command-line interface, in the output folder"},
    {"CHANGES_FILE", &SiteConfig::changes_file, Kind::kSitePath, nullptr,
     "List of changes, from the site root ({{CHANGES}} in WENDREL_CHANGES)"},
    {"CHECKSUM_FILE", &SiteConfig::checksum_file, Kind::kSitePath, "/{{PRODUCT_NAME}}-{{VERSION}}.sha256",
     "Checksums, from the site root ({{SHA256}} in WENDREL_SHA256)"},
    {"VERSION_INI", &SiteConfig::version_ini, Kind::kSitePath, nullptr,
     "Update check file that pages may link to, from the site root"},
    {"RELEASE_FOLDER", &SiteConfig::release_folder, Kind::kFolder, nullptr,
     "Folder of release files that every build copies into the output folder first (\"\": none)"},
    {"SITE_HOME_URL", &SiteConfig::site_home_url, Kind::kText, nullptr,
     "The public site's home URL, without a trailing \"/\" (donation return page)"},
    {"NO_REPLY_ADDRESS", &SiteConfig::no_reply_address, Kind::kText, nullptr,
     "Sender of contact mails when the visitor gives no address"},
    {"CONTACT_ADDRESS", &SiteConfig::contact_address, Kind::kText, nullptr, "Where contact mails go"},
    {"DONATION_ADDRESS", &SiteConfig::donation_address, Kind::kText, nullptr, "The donation account"},
    {"DONATION_ENDPOINT", &SiteConfig::donation_endpoint, Kind::kText, nullptr, "Donation form endpoint"},
    {"SEARCH_ENDPOINT", &SiteConfig::search_endpoint, Kind::kText, nullptr, "Web search endpoint of the search box"},
    {"SITE_DOMAIN", &SiteConfig::site_domain, Kind::kText, nullptr,
     "The domain the search box restricts the search to"},
    {"RTL_CONTENT", &SiteConfig::rtl_content, Kind::kSwitch, nullptr,
     "\"on\": pages of right-to-left languages read right to left in content, contents and support navigation"},
    {"SUPPORT_PAGE_DIRECTION_MARKERS", &SiteConfig::support_direction_markers, Kind::kSwitch, nullptr,
     "\"on\": support pages honour __RTL_BEGIN__ and __RTL_END__ lines as template pages do"},
    {"ALTERNATE_LINKS", &SiteConfig::alternate_links, Kind::kSwitch, nullptr,
     "\"on\": each page's head links to its versions in the other languages and names its canonical address"},
    {"SITEMAPS", &SiteConfig::sitemaps, Kind::kSwitch, nullptr,
     "\"on\": a sitemap per language, a sitemap index and a robots.txt line at the output root"},
    {"ABSOLUTE_ADDRESSES", &SiteConfig::absolute_addresses, Kind::kSwitch, nullptr,
     "\"on\": alternate, canonical and sitemap addresses start with SITE_HOME_URL instead of the URL root"},
    {"LANGUAGE_SWITCH", &SiteConfig::language_switch, Kind::kSwitch, nullptr,
     "\"on\": the foot of every page links to the same page in each language"},
    {"LANGUAGE_TAGS", &SiteConfig::language_tags, Kind::kText, nullptr,
     "BCP 47 tags for language codes that are not of the form language-region, as blank-separated code=tag pairs, such "
     "as chinese=zh-Hans"},
};

// One line per '\n', however long; a byte order mark only at the start. A
// NUL byte stays, so the value holding it is refused as unsafe.
constexpr LineRules kConfigLines{SIZE_MAX, false, false};

bool is_white(char c) { return c == ' ' || c == '\t' || c == '\r'; }

bool safe_file(std::string_view value) { return !value.empty() && value != "." && !leaves_folder(value); }

bool safe_value(Kind kind, std::string_view value) {
  // Values end up inside double-quoted attributes and PHP strings, and in
  // page text (the version in the download heading), where '<' and '>'
  // would be markup: a configured value is never markup.
  if (!safe_in_script(value) || value.find_first_of("<>") != std::string_view::npos) return false;
  switch (kind) {
    case Kind::kText: return true;
    case Kind::kNamePart: return safe_file(value) && value.find('/') == std::string_view::npos;
    case Kind::kFile: return safe_file(value);
    case Kind::kSitePath: return value.size() > 1 && value[0] == '/' && safe_file(value.substr(1));
    case Kind::kFolder: return value.empty() || safe_file(value);
    case Kind::kSwitch: return value == "on" || value == "off";
  }
  return false;
}

bool blank_or_comment(std::string_view line) {
  size_t i = 0;
  while (i < line.size() && is_white(line[i])) ++i;
  return i == line.size() || line.substr(i, 2) == "//";
}

std::string expand(std::string_view pattern, const SiteConfig& config) {
  std::string text = replace_no_case(pattern, "{{PRODUCT_NAME}}", config.product_name);
  text = replace_no_case(text, "{{PREVIOUS_VERSION}}", config.previous_version);
  return replace_no_case(text, "{{VERSION}}", config.version);
}

}  // namespace

namespace {

constexpr size_t kKeyCount = sizeof kKeys / sizeof kKeys[0];

// The file values of the keys that are patterns, and the line of each whose
// check waits until it is expanded (0: checked already).
struct PatternValues {
  std::vector<std::string> text = std::vector<std::string>(kKeyCount);
  std::vector<int> lines = std::vector<int>(kKeyCount, 0);
};

// One line of the file: a value set, or a message.
void apply_config_line(std::string_view line, Where where, Diagnostics& diag, SiteConfig& config,
                       PatternValues& patterns) {
  if (blank_or_comment(line)) return;
  KeyLine parsed;
  if (!parse_key_line(line, true, &parsed)) {
    diag.report(where, Msg::config_syntax);
    return;
  }
  size_t k = 0;
  while (k < kKeyCount && !equal_no_case(parsed.key, kKeys[k].name)) ++k;
  if (k == kKeyCount) {
    diag.report(where, Msg::config_unknown_key, parsed.key);
    return;
  }
  // A pattern is checked once expanded; its own text only for the bytes.
  // A key whose default holds no placeholder, set to a value without one,
  // is checked here, so its message keeps its place among the others.
  const bool deferred = is_pattern(kKeys[k]) && (kKeys[k].pattern || parsed.value.find("{{") != std::string_view::npos);
  if (!safe_value(deferred ? Kind::kText : kKeys[k].kind, parsed.value)) {
    diag.report(where, Msg::config_unsafe_value, kKeys[k].name, parsed.value);
    return;
  }
  if (is_pattern(kKeys[k])) {
    patterns.text[k] = parsed.value;
    patterns.lines[k] = deferred ? where.line : 0;
  } else {
    config.*kKeys[k].field = parsed.value;
  }
}

}  // namespace

SiteConfig load_site_config(const SourceRoot& sources, Diagnostics& diag, const std::string& path) {
  SiteConfig config;
  std::string contents;
  // A file linked from outside the site is refused aloud: built with the
  // defaults, the site would quietly send donations to another account.
  if (ReadResult read = sources.read(path, &contents); read != ReadResult::kRead) {
    if (read == ReadResult::kOutsideSite) diag.report({path}, Msg::source_outside_site, PathArg{path});
    return config;
  }

  // Patterns are expanded after the whole file is read, so a VERSION line
  // below a pattern still counts; a pattern's line is kept for its message.
  PatternValues patterns;
  for (size_t k = 0; k < kKeyCount; ++k) {
    if (is_pattern(kKeys[k])) patterns.text[k] = default_pattern(kKeys[k]);
  }
  TextLines lines(contents, kConfigLines);
  TextLine piece;
  int line_number = 0;
  while (lines.next(&piece)) apply_config_line(piece.text, {path, ++line_number}, diag, config, patterns);

  for (size_t k = 0; k < kKeyCount; ++k) {
    if (!is_pattern(kKeys[k])) continue;
    std::string name = expand(patterns.text[k], config);
    if (patterns.lines[k] != 0 && !safe_value(kKeys[k].kind, name)) {
      diag.report({path, patterns.lines[k]}, Msg::config_unsafe_value, kKeys[k].name, name);
      name = expand(default_pattern(kKeys[k]), config);
    }
    config.*kKeys[k].field = name;
  }
  return config;
}

std::string default_config_text() {
  const SiteConfig defaults;
  std::string text =
      "// Site configuration: remove the \"//\" in front of a key to change it.\n"
      "// In file names, {{PRODUCT_NAME}}, {{VERSION}} and {{PREVIOUS_VERSION}} stand for those keys.\n";
  for (const Key& key : kKeys) {
    text += "\n// ";
    text += key.comment;
    text += "\n// ";
    text += key.name;
    text += " = \"";
    text += is_pattern(key) ? default_pattern(key) : defaults.*key.field;
    text += "\"\n";
  }
  return text;
}

}  // namespace mt
