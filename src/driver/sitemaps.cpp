#include "driver/sitemaps.h"

#include "chrome/language_links.h"
#include "chrome/page_file.h"
#include "links/alternates.h"
#include "links/registry.h"
#include "platform/served_files.h"
#include "platform/text.h"

namespace mt {

namespace {

// Written first in every file this tool owns, so a later build can tell its
// own sitemap index and robots.txt from the owner's.
constexpr std::string_view kXmlMark = "<!-- written by maketarnwick -->";
constexpr std::string_view kRobotsMark = "# written by maketarnwick";

// The protocol's limits per file: 50,000 addresses, 50 MiB.
constexpr size_t kMaxEntries = 50000;
constexpr size_t kMaxBytes = 50 * 1024 * 1024 - 64;

// Pages that are answers to a request (errors, maintenance, a form's
// result) are no place to land from a search.
bool listed(int template_index) {
  switch (template_index) {
    case ERROR404_TEMPLATE:
    case MAINTENANCE_TEMPLATE:
    case DONATED_TEMPLATE:
    case CONTACTOK_TEMPLATE:
    case CONTACTERROR_TEMPLATE: return false;
    default: return true;
  }
}

// An address as a sitemap needs it: bytes outside ASCII and blanks
// percent-encoded, then the XML entities.
std::string xml_address(std::string_view url) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (char c : url) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x80 || byte <= 0x20 || c == '"' || c == '<' || c == '>') {
      out += '%';
      out += kHex[byte >> 4];
      out += kHex[byte & 15];
    } else if (c == '&') {
      out += "&amp;";
    } else if (c == '\'') {
      out += "&apos;";
    } else {
      out += c;
    }
  }
  return out;
}

// Whether the output root holds `name` and this tool did not write it;
// its text in `*text` (empty when it cannot be read).
bool owner_file(const Build& build, const char* name, std::string_view mark, std::string* text) {
  const std::string root = canonical_folder(build.setup.output_root);
  std::string found;
  FileId id;
  if (!file_id(join_path(build.setup.output_root, name), &id)) return false;
  if (root.empty() || !read_served_file(root, name, text, &found)) return true;
  return text->find(mark) == std::string::npos;
}

bool write_file(Build& build, const std::string& name, const std::string& text) {
  const std::string path = join_path(build.setup.output_root, name);
  if (!record_output(build, path, false)) return false;
  FileSink file;
  if (!file.open(path)) {
    build.diag.report({name}, Msg::create_failed, PathArg{path}, error_text(file.error()));
    return false;
  }
  file.write(text);
  if (file.close()) {
    note_change(build, path, file.outcome());
    return true;
  }
  const Msg id = file.failed_to_create() ? Msg::create_failed : Msg::write_failed;
  build.diag.report({name}, id, PathArg{path}, error_text(file.error()));
  return false;
}

struct Sitemap {
  std::string name;
  std::string text;
  size_t entries = 0;
  int line = 0;  // lines written so far, for the link check's places
};

void open_sitemap(Sitemap& map, const std::string& name) {
  map.name = name;
  map.text =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + std::string(kXmlMark) +
      "\n<urlset xmlns=\"http://www.sitemaps.org/schemas/sitemap/0.9\" xmlns:xhtml=\"http://www.w3.org/1999/xhtml\">\n";
  map.entries = 0;
  map.line = 3;
}

void add_entry(Build& build, Sitemap& map, const std::string& path, const std::vector<Alternate>& set) {
  map.text += "<url>\n<loc>" + xml_address(public_address(build, path)) + "</loc>\n";
  map.line += 2;
  build.links.record(map.name, map.line, build.setup.url_root + path);
  for (const Alternate& a : set) {
    map.text += "<xhtml:link rel=\"alternate\" hreflang=\"" + a.hreflang + "\" href=\"" +
                xml_address(public_address(build, a.path)) + "\"/>\n";
    build.links.record(map.name, ++map.line, build.setup.url_root + a.path);
  }
  map.text += "</url>\n";
  ++map.line;
  ++map.entries;
}

// The sitemaps of one language; returns their names.
std::vector<std::string> language_sitemaps(Build& build, size_t from) {
  const IndexedLanguage& lang = build.setup.index.languages[from];
  std::vector<PageKey> keys;
  for (int t = 0; t < kStringCount; ++t) {
    if (lang.templates.test(static_cast<size_t>(t)) && listed(t)) keys.push_back({t, -1});
  }
  for (size_t n = 0; n < lang.support.nodes().size(); ++n) keys.push_back({-1, static_cast<int>(n)});

  std::vector<std::string> names;
  Sitemap map;
  auto flush = [&] {
    map.text += "</urlset>\n";
    if (write_file(build, map.name, map.text)) names.push_back(map.name);
  };
  open_sitemap(map, "sitemap-" + lang.tag + ".xml");
  for (PageKey key : keys) {
    const std::vector<Alternate> set = alternates(build.setup.index, from, key);
    if (map.entries == kMaxEntries || map.text.size() > kMaxBytes - 4096 * (set.size() + 1)) {
      flush();
      open_sitemap(map, "sitemap-" + lang.tag + "-" + std::to_string(names.size() + 1) + ".xml");
    }
    add_entry(build, map, page_path(lang, key), set);
  }
  flush();
  return names;
}

void write_robots(Build& build, const std::string& index_address) {
  std::string text;
  if (owner_file(build, "robots.txt", kRobotsMark, &text)) {
    // Once the owner has added the line, there is nothing more to say.
    if (text.find("Sitemap: " + index_address) == std::string::npos) {
      build.diag.report({}, Msg::robots_kept, PathArg{build.setup.output_root}, index_address);
    }
    return;
  }
  write_file(build, "robots.txt", std::string(kRobotsMark) + "\nSitemap: " + index_address + "\n");
}

}  // namespace

void write_sitemaps(Build& build) {
  if (!has_scheme(public_address(build, "/"))) build.diag.report({}, Msg::sitemaps_relative);
  std::string index = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + std::string(kXmlMark) +
                      "\n<sitemapindex xmlns=\"http://www.sitemaps.org/schemas/sitemap/0.9\">\n";
  for (size_t i = 0; i < build.setup.index.languages.size(); ++i) {
    if (build.setup.index.languages[i].tag.empty()) continue;
    for (const std::string& name : language_sitemaps(build, i)) {
      index += "<sitemap><loc>" + xml_address(public_address(build, "/" + name)) + "</loc></sitemap>\n";
    }
  }
  index += "</sitemapindex>\n";
  std::string text;
  if (owner_file(build, "sitemap.xml", kXmlMark, &text)) {
    build.diag.report({}, Msg::sitemap_index_kept, PathArg{build.setup.output_root});
    return;
  }
  if (write_file(build, "sitemap.xml", index)) write_robots(build, public_address(build, "/sitemap.xml"));
}

}  // namespace mt
