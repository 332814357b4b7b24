#include "site/site_index.h"

#include "platform/text.h"

namespace mt {

std::string page_path(const IndexedLanguage& lang, PageKey key) {
  std::string path = lang.path + "/";
  if (key.support_node >= 0) {
    path += lang.language->value(SUPPORT_FOLDER) + "/";
    path += lang.support[static_cast<size_t>(key.support_node)].path_slug + "/";
  } else if (key.template_index != HOME_TEMPLATE) {
    path += cut_extension(lang.language->value(key.template_index)) + "/";
  }
  return path;
}

bool has_page(const IndexedLanguage& lang, PageKey key) {
  if (key.support_node >= 0) return static_cast<size_t>(key.support_node) < lang.support.size();
  return key.template_index >= 0 && lang.templates.test(static_cast<size_t>(key.template_index));
}

}  // namespace mt
