// --export-po: one entry per string and per block of every page.

#include "platform/fs.h"
#include "translate/blocks.h"
#include "translate/pages.h"
#include "translate/po.h"
#include "translate/po_tasks.h"
#include "translate/status.h"

namespace mt {

namespace {

std::string po_header(const std::string& code) {
  PoEntry header;
  header.str =
      "Project-Id-Version: maketarnwick site\nPO-Revision-Date: 2000-01-01 00:00+0000\n"
      "Last-Translator: none\nLanguage-Team: none\nLanguage: " +
      code +
      "\nMIME-Version: 1.0\nContent-Type: text/plain; charset=UTF-8\n"
      "Content-Transfer-Encoding: 8bit\n";
  std::string out;
  append_po_entry(out, header);
  return out;
}

// Strings that name files or addresses are left out: translating one
// would move a page without moving its file.
int string_entries(std::string& out, const LangSources& def, const LangSources& lang,
                   const std::set<std::string, std::less<>>& stale) {
  int count = 0;
  for (int i = 0; i < kStringCount; ++i) {
    const StringSource& d = def.strings[static_cast<size_t>(i)];
    const StringSource& s = lang.strings[static_cast<size_t>(i)];
    if (names_no_text(i) || d.value.empty()) continue;
    PoEntry e;
    e.context = kStringTable[i].id;
    e.id = d.value;
    const bool translated = s.defined && (s.value != d.value || d.same || s.same);
    if (translated) e.str = s.value;
    e.fuzzy = translated && stale.contains(e.context);
    e.references.push_back(s.line > 0 ? lang.file + ":" + std::to_string(s.line)
                                      : def.file + ":" + std::to_string(d.line));
    append_po_entry(out, e);
    ++count;
  }
  return count;
}

int page_entries(std::string& out, const SourceRoot& root, const PagePair& page, bool stale) {
  std::string def_text, lang_text;
  if (!root.read_file(page.def_path, &def_text)) return 0;
  const std::vector<TextBlock> blocks = text_blocks(def_text, page.support);
  std::vector<TextBlock> lang_blocks;
  if (page.exists && root.read_file(page.lang_path, &lang_text)) lang_blocks = text_blocks(lang_text, page.support);
  // Blocks pair by position only when the pages have the same shape.
  const bool paired = same_shape(blocks, lang_blocks);
  for (size_t b = 0; b < blocks.size(); ++b) {
    PoEntry e;
    e.context = page.item + "#" + std::to_string(b + 1);
    e.id = def_text.substr(blocks[b].begin, blocks[b].end - blocks[b].begin);
    if (paired) {
      std::string str = lang_text.substr(lang_blocks[b].begin, lang_blocks[b].end - lang_blocks[b].begin);
      if (str != e.id) e.str = std::move(str);
    }
    e.fuzzy = stale && !e.str.empty();
    const bool own = paired;
    e.references.push_back((own ? page.lang_path : page.def_path) + ":" +
                           std::to_string(own ? lang_blocks[b].line : blocks[b].line));
    append_po_entry(out, e);
  }
  return static_cast<int>(blocks.size());
}

}  // namespace

int export_po_task(const TranslateTask& task, const Sources& sources, Diagnostics& diag) {
  const int l = lang_index(sources, task.lang);
  if (l < 0) {
    diag.report({}, Msg::unknown_language, task.lang, task.lang);
    return 1;
  }
  const LangSources& lang = sources.langs[static_cast<size_t>(l)];
  const auto stale = stale_items(sources, static_cast<size_t>(l));
  std::string out = po_header(lang.code);
  int count = string_entries(out, sources.langs[sources.default_lang], lang, stale);
  for (const PagePair& page : page_pairs(sources, static_cast<size_t>(l))) {
    count += page_entries(out, sources.root, page, stale.contains(page.item));
  }
  if (is_site_source(sources, task.po_file)) {
    diag.report({task.po_file}, Msg::write_over_source, PathArg{task.po_file});
    return 1;
  }
  FileSink file;
  if (file.open(task.po_file)) file.write(out);
  if (!file.close()) {
    diag.report({task.po_file}, Msg::write_failed, PathArg{task.po_file}, error_text(file.error()));
    return 1;
  }
  diag.report({}, Msg::po_written, PathArg{task.po_file}, count, lang.code);
  return 0;
}

}  // namespace mt
