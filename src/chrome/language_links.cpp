#include "chrome/language_links.h"

#include "links/registry.h"
#include "markup/inline.h"

namespace mt {

namespace {

std::string attribute(std::string_view text) {
  std::string out;
  append_html_escaped(out, text);
  return out;
}

// The path of `key`'s page in this build: a language's own folder, or the
// root for the root build.
std::string own_path(const Build& build, const LangBuild& lang, PageKey key) {
  const IndexedLanguage& indexed = build.setup.index.languages[static_cast<size_t>(lang.indexed)];
  return lang.url_part + page_path(indexed, key).substr(indexed.path.size());
}

}  // namespace

bool alternate_links_on(const Build& build, const LangBuild& lang) {
  return build.setup.site.alternate_links == "on" && lang.indexed >= 0;
}

std::string public_address(const Build& build, const std::string& path) {
  return (build.setup.site.absolute_addresses == "on" ? build.setup.site.site_home_url : build.setup.url_root) + path;
}

std::string html_lang(const Build& build, const LangBuild& lang) {
  if (alternate_links_on(build, lang)) {
    const std::string& tag = build.setup.index.languages[static_cast<size_t>(lang.indexed)].tag;
    if (!tag.empty()) return tag;
  }
  // The root build has no base code; its pages still declare a language.
  return lang.base_code.empty() ? "en" : lang.base_code;
}

void write_language_links(Build& build, const LangBuild& lang, Sink& out, PageKey key, const std::string& source) {
  const size_t from = static_cast<size_t>(lang.indexed);
  // A support page added after the index was made has no place in it.
  if (!has_page(build.setup.index.languages[from], key)) return;
  const std::string canonical = page_path(build.setup.index.languages[from], key);
  out.printf("<link rel=\"canonical\" href=\"%s\" />\r\n", attribute(public_address(build, canonical)).c_str());
  const std::vector<Alternate> set = alternates(build.setup.index, from, key);
  for (const Alternate& a : set) {
    out.printf("<link rel=\"alternate\" hreflang=\"%s\" href=\"%s\" />\r\n", a.hreflang.c_str(),
               attribute(public_address(build, a.path)).c_str());
  }
  // The final check looks at where the set and the canonical lead.
  build.links.alternate_sets().add(source, own_path(build, lang, key), canonical, set);
}

void write_language_switch(Build& build, const LangBuild& lang, Sink& out, PageKey key, const std::string& source) {
  const size_t from = static_cast<size_t>(lang.indexed);
  const bool known_page = has_page(build.setup.index.languages[from], key);
  out.write("<ul class=\"languageswitch\">\r\n");
  for (size_t to = 0; to < build.setup.index.languages.size(); ++to) {
    const IndexedLanguage& other = build.setup.index.languages[to];
    const PageKey there = known_page ? counterpart(build.setup.index, from, key, to) : PageKey{};
    const bool same = has_page(other, there);
    // Page links within the site, as the menu's: under the URL root.
    const std::string path = page_path(other, same ? there : PageKey{HOME_TEMPLATE, -1});
    std::string attributes;
    // A language without a tag is still offered; it only cannot say which.
    if (!other.tag.empty()) attributes = " hreflang=\"" + other.tag + "\" lang=\"" + other.tag + "\"";
    if (other.language->rtl) attributes += " dir=\"rtl\"";
    if (!same) attributes += " class=\"switchhome\"";
    if (to == from) attributes += " aria-current=\"page\"";
    out.printf("<li style=\"display:inline;margin:0 6px;\"><a href=\"%s\"%s>%s</a></li>\r\n",
               attribute(build.setup.url_root + path).c_str(), attributes.c_str(),
               other.language->display_name.c_str());
    build.links.record_head(source, build.setup.url_root + path);
  }
  out.write("</ul>\r\n");
}

}  // namespace mt
