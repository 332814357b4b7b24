#include "translate/pedantic.h"

#include "platform/fs.h"
#include "translate/blocks.h"
#include "translate/checks.h"
#include "translate/pages.h"
#include "translate/status.h"

namespace mt {

namespace {

void check_strings(const LangSources& def, const LangSources& lang, Diagnostics& diag) {
  for (int i = 0; i < kStringCount; ++i) {
    const StringSource& d = def.strings[static_cast<size_t>(i)];
    const StringSource& s = lang.strings[static_cast<size_t>(i)];
    if (names_no_text(i) || !s.defined || s.value == d.value) continue;
    check_translation(diag, {lang.file, s.line}, kStringTable[i].id, d.value, s.value);
  }
}

void check_page(const SourceRoot& root, const PagePair& page, Diagnostics& diag) {
  std::string def_text, text;
  if (!page.exists || !root.read_file(page.def_path, &def_text) || !root.read_file(page.lang_path, &text)) return;
  const std::vector<TextBlock> src = text_blocks(def_text, page.support), own = text_blocks(text, page.support);
  if (!same_shape(src, own)) return;  // blocks pair only on pages of one shape
  for (size_t b = 0; b < src.size(); ++b) {
    const std::string_view s = std::string_view(def_text).substr(src[b].begin, src[b].end - src[b].begin);
    const std::string_view t = std::string_view(text).substr(own[b].begin, own[b].end - own[b].begin);
    if (s != t) check_translation(diag, {page.lang_path, own[b].line}, page.item + "#" + std::to_string(b + 1), s, t);
  }
}

}  // namespace

void check_all_translations(SourceRoot& root, const Collator& collator, Diagnostics& diag) {
  Sources sources(root);
  StringSink dropped;
  Diagnostics quiet{&dropped};
  if (!read_sources(&sources, collator, quiet)) return;
  for (size_t l = 0; l < sources.langs.size(); ++l) {
    if (l == sources.default_lang) continue;
    check_strings(sources.langs[sources.default_lang], sources.langs[l], diag);
    for (const PagePair& page : page_pairs(sources, l)) check_page(root, page, diag);
  }
}

}  // namespace mt
