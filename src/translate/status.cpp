#include "translate/status.h"

#include "platform/fs.h"

namespace mt {

namespace {

// What one language is compared with: the default language and the record.
struct Compare {
  const LangSources& def;
  const LangSources& lang;
  const std::map<std::string, uint64_t, std::less<>>* accepted;  // null: no record for the language
  LangStatus& out;
};

void add(Compare& c, ItemState state, ItemKind kind, std::string item, std::string file, int line) {
  Tally& t = c.out.tally;
  (state == ItemState::missing        ? t.missing
   : state == ItemState::untranslated ? t.untranslated
   : state == ItemState::stale        ? t.stale
                                      : t.orphan)++;
  c.out.items.push_back({state, kind, std::move(item), std::move(file), line});
}

bool is_stale(const Compare& c, std::string_view item, uint64_t hash) {
  if (!c.accepted) return false;
  auto it = c.accepted->find(item);
  return it != c.accepted->end() && it->second != hash;
}

void compare_strings(Compare& c) {
  for (int i = 0; i < kStringCount; ++i) {
    const StringSource& d = c.def.strings[static_cast<size_t>(i)];
    const StringSource& s = c.lang.strings[static_cast<size_t>(i)];
    const char* id = kStringTable[i].id;
    ++c.out.tally.total;
    if (!s.defined) {
      add(c, ItemState::missing, ItemKind::string, id, c.lang.file, 0);
    } else if (s.value == d.value && !d.same && !s.same && !names_no_text(i)) {
      add(c, ItemState::untranslated, ItemKind::string, id, c.lang.file, s.line);
    } else if (is_stale(c, id, item_hash(d.value))) {
      add(c, ItemState::stale, ItemKind::string, id, c.lang.file, s.line);
    }
  }
}

void compare_templates(Compare& c, const std::array<uint64_t, kTemplateCount>& def_hash) {
  for (size_t t = 0; t < kTemplateCount; ++t) {
    if (c.def.templates[t].empty()) continue;
    ++c.out.tally.total;
    const std::string id = template_item_name(t);
    if (c.lang.templates[t].empty()) {
      const std::string& name = c.lang.strings[static_cast<size_t>(kTemplatePages[t])].value;
      add(c, ItemState::missing, ItemKind::page, id, join_path(c.lang.code, name), 0);
    } else if (is_stale(c, id, def_hash[t])) {
      add(c, ItemState::stale, ItemKind::page, id, c.lang.templates[t], 0);
    }
  }
}

void compare_support(Compare& c, const Counterparts& pairs) {
  const SupportTree& def = c.def.support;
  for (size_t d = 0; d < def.nodes().size(); ++d) {
    ++c.out.tally.total;
    const int n = pairs.of_default[d];
    std::string item = support_item_name(def, static_cast<int>(d));
    if (n < 0) {
      add(c, ItemState::missing, ItemKind::support, std::move(item), c.lang.code, 0);
    } else if (is_stale(c, item, c.def.support_hash[d])) {
      add(c, ItemState::stale, ItemKind::support, std::move(item),
          support_page_path(c.lang.support_folder, c.lang.support, n), 0);
    }
  }
  for (int n : pairs.orphans()) {
    add(c, ItemState::orphan, ItemKind::support, support_item_name(c.lang.support, n),
        support_page_path(c.lang.support_folder, c.lang.support, n), 0);
  }
}

}  // namespace

int Tally::percent() const { return total == 0 ? 100 : static_cast<int>(100LL * done() / total); }

void Tally::add(const Tally& o) {
  total += o.total;
  missing += o.missing;
  untranslated += o.untranslated;
  stale += o.stale;
  orphan += o.orphan;
}

const char* state_name(ItemState state) {
  switch (state) {
    case ItemState::missing: return "missing";
    case ItemState::untranslated: return "untranslated";
    case ItemState::stale: return "stale";
    case ItemState::orphan: return "orphan";
  }
  return "";
}

const char* kind_name(ItemKind kind) {
  switch (kind) {
    case ItemKind::string: return "string";
    case ItemKind::page: return "page";
    case ItemKind::support: return "support page";
  }
  return "";
}

bool names_no_text(int i) {
  return (i >= HOME_TEMPLATE && i <= MAINTENANCE_TEMPLATE) || i == SUPPORT_FOLDER || i == LICENSE_TEMPLATE ||
         i == SUPPORT_URL || i == FORUMS_URL || i == DONATE_FORM_BUTTON_IMAGE;
}

Status compute_status(const Sources& sources, const AcceptRecord& record) {
  Status status;
  const LangSources& def = sources.langs[sources.default_lang];
  status.default_code = def.code;
  for (size_t l = 0; l < sources.langs.size(); ++l) {
    if (l == sources.default_lang) continue;
    const LangSources& lang = sources.langs[l];
    LangStatus& out = status.langs.emplace_back();
    out.code = lang.code;
    auto it = record.find(lang.code);
    Compare c{def, lang, it == record.end() ? nullptr : &it->second, out};
    compare_strings(c);
    compare_templates(c, def.template_hash);
    compare_support(c, sources.counterparts[l]);
    status.totals.add(out.tally);
  }
  return status;
}

std::map<std::string, uint64_t, std::less<>> default_hashes(const Sources& sources) {
  const LangSources& def = sources.langs[sources.default_lang];
  std::map<std::string, uint64_t, std::less<>> hashes;
  for (int i = 0; i < kStringCount; ++i)
    hashes[kStringTable[i].id] = item_hash(def.strings[static_cast<size_t>(i)].value);
  for (size_t t = 0; t < kTemplateCount; ++t) {
    if (!def.templates[t].empty()) hashes[template_item_name(t)] = def.template_hash[t];
  }
  for (size_t d = 0; d < def.support.nodes().size(); ++d) {
    hashes[support_item_name(def.support, static_cast<int>(d))] = def.support_hash[d];
  }
  return hashes;
}

}  // namespace mt
