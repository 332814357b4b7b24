#include "driver/across_languages.h"

#include <map>
#include <set>

#include "links/alternates.h"
#include "platform/fs.h"
#include "site/language_tags.h"
#include "support/tree.h"

namespace mt {

namespace {

void index_pages(Build& build, IndexedLanguage& indexed) {
  const Language& language = *indexed.language;
  for (int t : kTemplatePages) {
    const std::string path = join_path(language.code, language.value(t));
    if (build.sources.exists(path) && !build.sources.outside_site(path)) indexed.templates.set(static_cast<size_t>(t));
  }
  // Scanned again when the language is built; only the nodes are kept here.
  // Its messages are the build's to give, once.
  build_support_tree(indexed.support, build.sources, join_path(language.code, language.value(SUPPORT_FOLDER)),
                     build.collator);
  for (size_t n = 0; n < indexed.support.nodes().size(); ++n) indexed.support.take_text(static_cast<int>(n));
}

// Support pages correspond through the default language's.
void match_languages(SiteIndex& index) {
  const SupportTree& def = index.languages[index.default_language].support;
  for (size_t i = 0; i < index.languages.size(); ++i) {
    IndexedLanguage& lang = index.languages[i];
    if (i != index.default_language) {
      lang.match = match_support(def, lang.support);
      continue;
    }
    for (size_t n = 0; n < def.nodes().size(); ++n) {
      lang.match.of_default.push_back(static_cast<int>(n));
      lang.match.of_other.push_back(static_cast<int>(n));
    }
  }
}

// The output file where `key`'s page of language `from` would be in `to`
// if `to` had it (template pages by `to`'s template name, support pages by
// the same path).
std::string would_be_file(const Build& build, const IndexedLanguage& from, const IndexedLanguage& to, PageKey key) {
  std::string path = "/" + to.language->code;
  if (key.support_node >= 0) {
    path += "/" + to.language->value(SUPPORT_FOLDER) + "/";
    path += from.support.nodes()[static_cast<size_t>(key.support_node)].path_slug + "/";
  } else {
    path += page_path(to, key).substr(to.path.size());
  }
  std::string file = build.setup.output_root;
  file += path;
  return file + "index.html";
}

void check_key(Build& build, size_t from, PageKey key, std::set<std::string>& stale) {
  const IndexedLanguage& lang = build.setup.index.languages[from];
  int found = 0;
  for (size_t to = 0; to < build.setup.index.languages.size(); ++to) {
    const IndexedLanguage& other = build.setup.index.languages[to];
    const PageKey there = to == from ? key : counterpart(build.setup.index, from, key, to);
    if (has_page(other, there)) {
      ++found;
      continue;
    }
    FileId id;
    const std::string file = would_be_file(build, lang, other, key);
    if (file_id(file, &id) && stale.insert(file).second)
      build.diag.report({other.language->code}, Msg::stale_page, PathArg{file});
  }
  if (key.support_node >= 0 && found == 1 && build.setup.index.languages.size() > 1) {
    const SupportNode& node = lang.support.nodes()[static_cast<size_t>(key.support_node)];
    build.diag.report({lang.language->code}, Msg::page_in_one_language, PathArg{node.source_path});
  }
}

}  // namespace

bool languages_linked(const SiteConfig& site) {
  return site.alternate_links == "on" || site.sitemaps == "on" || site.language_switch == "on";
}

SiteIndex index_languages(Build& build) {
  SiteIndex index;
  const Language& default_language = build.setup.languages[static_cast<size_t>(build.setup.root_language)];
  std::map<std::string, std::string> tags;  // tag -> code that has it
  for (const Language& language : build.setup.languages) {
    IndexedLanguage indexed;
    indexed.language = &language;
    if (&language == &default_language) index.default_language = index.languages.size();
    indexed.path = &language == &default_language ? "" : "/" + language.code;
    indexed.tag = language_tag(language.code, build.setup.site.language_tags);
    const std::string file = language.code + ".txt";
    if (indexed.tag.empty()) {
      build.diag.report({file}, Msg::language_no_tag, language.code, language.code);
    } else if (auto [at, added] = tags.emplace(indexed.tag, language.code); !added) {
      build.diag.report({file}, Msg::language_tag_twice, indexed.tag, at->second);
      indexed.tag.clear();
    }
    index_pages(build, indexed);
    index.languages.push_back(std::move(indexed));
  }
  match_languages(index);
  return index;
}

void check_page_sets(Build& build) {
  // A page is looked at once: a template page from the first language that
  // has it, a support page from the default language or where it is an
  // orphan.
  std::set<std::string> stale;
  std::bitset<kStringCount> seen;
  for (size_t from = 0; from < build.setup.index.languages.size(); ++from) {
    const IndexedLanguage& lang = build.setup.index.languages[from];
    for (int t : kTemplatePages) {
      const auto bit = static_cast<size_t>(t);
      if (lang.templates.test(bit) && !seen.test(bit)) check_key(build, from, {t, -1}, stale);
      if (lang.templates.test(bit)) seen.set(bit);
    }
    for (size_t n = 0; n < lang.support.nodes().size(); ++n) {
      if (from == build.setup.index.default_language || lang.match.of_other[n] < 0) {
        check_key(build, from, {-1, static_cast<int>(n)}, stale);
      }
    }
  }
}

}  // namespace mt
