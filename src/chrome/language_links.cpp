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
  const IndexedLanguage& indexed = build.index.languages[static_cast<size_t>(lang.indexed)];
  return lang.url_part + page_path(indexed, key).substr(indexed.path.size());
}

}  // namespace

bool alternate_links_on(const Build& build, const LangBuild& lang) {
  return build.site.alternate_links == "on" && lang.indexed >= 0;
}

std::string public_address(const Build& build, const std::string& path) {
  return (build.site.absolute_addresses == "on" ? build.site.site_home_url : build.url_root) + path;
}

std::string html_lang(const Build& build, const LangBuild& lang) {
  if (alternate_links_on(build, lang)) {
    const std::string& tag = build.index.languages[static_cast<size_t>(lang.indexed)].tag;
    if (!tag.empty()) return tag;
  }
  // The root build has no base code; its pages still declare a language.
  return lang.base_code.empty() ? "en" : lang.base_code;
}

void write_language_links(Build& build, const LangBuild& lang, Sink& out, PageKey key, const std::string& source) {
  const size_t from = static_cast<size_t>(lang.indexed);
  // A support page added after the index was made has no place in it.
  if (!has_page(build.index.languages[from], key)) return;
  const std::string canonical = page_path(build.index.languages[from], key);
  out.printf("<link rel=\"canonical\" href=\"%s\" />\r\n", attribute(public_address(build, canonical)).c_str());
  const std::vector<Alternate> set = alternates(build.index, from, key);
  for (const Alternate& a : set) {
    out.printf("<link rel=\"alternate\" hreflang=\"%s\" href=\"%s\" />\r\n", a.hreflang.c_str(),
               attribute(public_address(build, a.path)).c_str());
  }
  // The final check looks at where the set and the canonical lead.
  build.links->alternate_sets().add(source, own_path(build, lang, key), canonical, set);
}

}  // namespace mt
