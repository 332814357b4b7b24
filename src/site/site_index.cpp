#include "site/site_index.h"

#include "platform/text.h"

namespace mt {

std::string page_path(const IndexedLanguage& lang, PageKey key) {
  std::string path = lang.path + "/";
  if (key.support_node >= 0) {
    path += lang.language->value(SUPPORT_FOLDER) + "/";
    path += lang.support.nodes()[static_cast<size_t>(key.support_node)].path_slug + "/";
  } else if (key.template_index != HOME_TEMPLATE) {
    path += cut_extension(lang.language->value(key.template_index)) + "/";
  }
  return path;
}

PageKey counterpart(const SiteIndex& index, size_t from, PageKey key, size_t to) {
  if (key.support_node < 0 || from == to) return key;
  const int node = through_default(index.languages[from].match, index.languages[to].match, key.support_node);
  return node < 0 ? PageKey{} : PageKey{-1, node};
}

bool has_page(const IndexedLanguage& lang, PageKey key) {
  if (key.support_node >= 0) return static_cast<size_t>(key.support_node) < lang.support.nodes().size();
  return key.template_index >= 0 && lang.templates.test(static_cast<size_t>(key.template_index));
}

}  // namespace mt
