#include "translate/pages.h"

#include "platform/fs.h"
#include "translate/record.h"
#include "translate/status.h"

namespace mt {

std::vector<PagePair> page_pairs(const Sources& sources, size_t l) {
  const LangSources& def = sources.langs[sources.default_lang];
  const LangSources& lang = sources.langs[l];
  std::vector<PagePair> pairs;
  for (size_t t = 0; t < kTemplateCount; ++t) {
    if (def.templates[t].empty()) continue;
    const bool exists = !lang.templates[t].empty();
    const std::string& name = lang.strings[static_cast<size_t>(kTemplatePages[t])].value;
    pairs.push_back({template_item_name(t), def.templates[t], exists ? lang.templates[t] : join_path(lang.code, name),
                     exists, false});
  }
  const Counterparts& c = sources.counterparts[l];
  for (size_t d = 0; d < def.support.nodes().size(); ++d) {
    const int n = c.of_default[d];
    // A new page takes the default page's names below the language's folder.
    std::string path = n >= 0 ? support_page_path(lang.support_folder, lang.support, n)
                              : support_page_path(lang.support_folder, def.support, static_cast<int>(d));
    pairs.push_back({support_item_name(def.support, static_cast<int>(d)),
                     support_page_path(def.support_folder, def.support, static_cast<int>(d)), std::move(path), n >= 0,
                     true});
  }
  return pairs;
}

std::set<std::string, std::less<>> stale_items(const Sources& sources, size_t l) {
  std::set<std::string, std::less<>> stale;
  const Status status = compute_status(sources, read_record(sources.root));
  for (const LangStatus& lang : status.langs) {
    if (lang.code != sources.langs[l].code) continue;
    for (const StatusItem& item : lang.items) {
      if (item.state == ItemState::stale) stale.insert(item.item);
    }
  }
  return stale;
}

}  // namespace mt
