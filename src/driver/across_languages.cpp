#include "driver/across_languages.h"

#include <map>

#include "links/alternates.h"
#include "platform/fs.h"
#include "site/language_tags.h"
#include "support/tree.h"

namespace mt {

namespace {

// The template pages the build writes (the page list of build.cpp).
constexpr int kTemplates[] = {HOME_TEMPLATE,    DOWNLOADS_TEMPLATE,  FAQ_TEMPLATE,          CONTACT_TEMPLATE,
                              ABOUT_TEMPLATE,   DONATE_TEMPLATE,     ERROR404_TEMPLATE,     LANGUAGE_TEMPLATE,
                              DONATED_TEMPLATE, CONTACTOK_TEMPLATE,  CONTACTERROR_TEMPLATE, UPDATE_TEMPLATE,
                              PRIVACY_TEMPLATE, MAINTENANCE_TEMPLATE};

void index_pages(Build& build, IndexedLanguage& indexed) {
  const Language& language = *indexed.language;
  for (int t : kTemplates) {
    const std::string path = join_path(language.code, language.value(t));
    if (build.resolver.exists(path) && !source_outside_site(path)) indexed.templates.set(static_cast<size_t>(t));
  }
  // Scanned again when the language is built; only the nodes are kept here.
  SupportTree tree;
  build_support_tree(tree, build.resolver.resolve(join_path(language.code, language.value(SUPPORT_FOLDER))),
                     build.collator);
  indexed.support = tree.nodes();
}

// The output file where `key`'s page of language `from` would be in `to`
// if `to` had it (template pages by `to`'s template name, support pages by
// the same path).
std::string would_be_file(const Build& build, const IndexedLanguage& from, const IndexedLanguage& to, PageKey key) {
  std::string path = "/" + to.language->code;
  if (key.support_node >= 0) {
    path += page_path(from, key).substr(from.path.size());
  } else {
    path += page_path(to, key).substr(to.path.size());
  }
  std::string file = build.output_root;
  for (char c : path) file += c == '/' ? kSep : c;
  return file + "index.html";
}

void check_key(Build& build, size_t from, PageKey key) {
  const IndexedLanguage& lang = build.index.languages[from];
  int found = 0;
  for (size_t to = 0; to < build.index.languages.size(); ++to) {
    const IndexedLanguage& other = build.index.languages[to];
    const PageKey there = to == from ? key : counterpart(build.index, from, key, to);
    if (has_page(other, there)) {
      ++found;
      continue;
    }
    FileId id;
    const std::string file = would_be_file(build, lang, other, key);
    if (file_id(file, &id)) build.diag.report({other.language->code}, Msg::stale_page, file);
  }
  if (key.support_node >= 0 && found == 1 && build.index.languages.size() > 1) {
    const SupportNode& node = lang.support[static_cast<size_t>(key.support_node)];
    build.diag.report({lang.language->code}, Msg::page_in_one_language, node.source_path);
  }
}

}  // namespace

bool languages_linked(const SiteConfig& site) {
  return site.alternate_links == "on" || site.sitemaps == "on" || site.language_switch == "on";
}

void index_languages(Build& build, const Language& default_language) {
  std::map<std::string, std::string> tags;  // tag -> code that has it
  for (const Language& language : build.languages) {
    IndexedLanguage indexed;
    indexed.language = &language;
    if (&language == &default_language) build.index.default_language = build.index.languages.size();
    indexed.path = &language == &default_language ? "" : "/" + language.code;
    indexed.tag = language_tag(language.code, build.site.language_tags);
    const std::string file = language.code + ".txt";
    if (indexed.tag.empty()) {
      build.diag.report({file}, Msg::language_no_tag, language.code, language.code);
    } else if (auto [at, added] = tags.emplace(indexed.tag, language.code); !added) {
      build.diag.report({file}, Msg::language_tag_twice, indexed.tag, at->second);
      indexed.tag.clear();
    }
    index_pages(build, indexed);
    build.index.languages.push_back(std::move(indexed));
  }
}

void check_page_sets(Build& build) {
  // A template page is looked at once, from the first language that has it.
  std::bitset<kStringCount> seen;
  for (size_t from = 0; from < build.index.languages.size(); ++from) {
    const IndexedLanguage& lang = build.index.languages[from];
    for (int t : kTemplates) {
      const auto bit = static_cast<size_t>(t);
      if (lang.templates.test(bit) && !seen.test(bit)) check_key(build, from, {t, -1});
      if (lang.templates.test(bit)) seen.set(bit);
    }
  }
}

}  // namespace mt
