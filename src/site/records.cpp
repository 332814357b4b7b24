#include "site/records.h"

#include "platform/names.h"
#include "platform/text.h"

namespace mt {

BuildSetup make_build_setup(const BuildConfig& config, SiteConfig site, std::vector<Language> languages,
                            bool list_changes) {
  BuildSetup setup;
  setup.output_root = config.output_root;
  setup.url_root = config.url_root;
  setup.list_changes = list_changes || !config.changes_file.empty();
  setup.prune = config.prune;
  setup.keep_written = config.prune || config.incremental;
  setup.pedantic = config.pedantic;
  setup.site = std::move(site);
  setup.languages = std::move(languages);
  for (size_t i = 0; i < setup.languages.size() && setup.root_language < 0; ++i) {
    if (equal_no_case(setup.languages[i].code, "en-us")) setup.root_language = static_cast<int>(i);
  }
  if (setup.root_language < 0 && !setup.languages.empty()) setup.root_language = 0;
  return setup;
}

LangBuild make_lang_build(const BuildSetup& setup, const Language& language, const std::string& folder_code) {
  LangBuild lang(language);
  lang.folder_code = folder_code;
  lang.base_code = folder_code.substr(0, folder_code.find('-'));
  lang.folder_part = folder_code.empty() ? "" : "/" + folder_code;
  lang.url_part = folder_code.empty() ? "" : "/" + folder_code;
  lang.output_folder = setup.output_root + lang.folder_part;
  lang.base_url = setup.url_root + lang.url_part;
  lang.rtl = language.rtl;
  // Russian is wider set: its pages get wider columns, at the root too.
  if (equal_no_case(language.code, "ru-ru")) {
    lang.plain_width = 800;
    lang.wiki_width = 1000;
    lang.nav_width = 304;
  }
  for (size_t i = 0; i < setup.index.languages.size(); ++i) {
    if (setup.index.languages[i].language == &language) lang.indexed = static_cast<int>(i);
  }
  return lang;
}

std::string page_title(const LangBuild& lang, const char* page_name) {
  if (!page_name) return lang.str(HOME_TITLE);
  return replace_no_case(lang.str(TITLE_FORMAT), "{{TITLE}}", page_name);
}

}  // namespace mt
