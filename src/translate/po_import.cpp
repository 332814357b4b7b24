// --import-po: translations written back into the language file and pages,
// every byte they do not translate kept as it was.

#include <algorithm>
#include <map>

#include "lang/languages.h"
#include "platform/fs.h"
#include "platform/text.h"
#include "translate/blocks.h"
#include "translate/checks.h"
#include "translate/pages.h"
#include "translate/po.h"
#include "translate/po_tasks.h"
#include "translate/status.h"

namespace mt {

namespace {

struct Edit {
  size_t begin = 0, end = 0;
  std::string text;
  int po_line = 0;  // of the entry, for a message
};

/// One file to write: its text as read and the changes to it.
struct FileChange {
  std::string path;
  std::string text;
  std::vector<Edit> edits;
  std::string append;  // new lines at the end (strings the file lacked)
  bool create = false;
  bool support = false;
  // Pages: the blocks of `text`, and the default language's page.
  std::vector<TextBlock> blocks;
  std::string def_text;
  std::vector<TextBlock> def_blocks;
};

/// What one import has found so far.
struct Import {
  const Sources& sources;
  const LangSources& lang;
  const std::string& po_file;
  Diagnostics& diag;
  FileChange strings;
  std::vector<KeyLineAt> keys;
  std::vector<PagePair> pages;
  std::map<std::string, size_t, std::less<>> page_by_item;
  std::map<size_t, FileChange> page_changes;  // by index into pages
  int imported = 0;
};

std::string applied(const FileChange& change) {
  std::string out;
  size_t at = 0;
  for (const Edit& e : change.edits) {
    out.append(change.text, at, e.begin - at);
    out += e.text;
    at = e.end;
  }
  out.append(change.text, at);
  return out + change.append;
}

// A file may hold an entry twice; the later one wins, so no two edits
// ever overlap.
void add_edit(FileChange& change, Edit edit) {
  std::erase_if(change.edits, [&edit](const Edit& e) { return e.begin == edit.begin; });
  change.edits.push_back(std::move(edit));
}

std::string line_end_of(const std::string& text) {
  size_t nl = text.find('\n');
  return nl != std::string::npos && nl > 0 && text[nl - 1] == '\r' ? "\r\n" : "\n";
}

void import_string(Import& im, const PoEntry& e, int index) {
  const StringSource& d = im.sources.langs[im.sources.default_lang].strings[static_cast<size_t>(index)];
  if (names_no_text(index) || e.id != d.value) return;  // a file name, or made from an older text
  const Where at{im.po_file, e.line};
  if (e.str.find_first_of("\"\r\n") != std::string::npos || e.str.find('\0') != std::string::npos) {
    im.diag.report(at, Msg::po_unusable, e.context, "a language file value holds no double quote or line break");
    return;
  }
  check_translation(im.diag, at, e.context, e.id, e.str);
  const KeyLineAt* last = nullptr;
  for (const KeyLineAt& k : im.keys) {
    if (k.index == index) last = &k;
  }
  if (last) {
    if (im.strings.text.compare(last->value_begin, last->value_end - last->value_begin, e.str) == 0) return;
    add_edit(im.strings, {last->value_begin, last->value_end, e.str, e.line});
  } else {
    std::string& t = im.strings.text;
    const std::string eol = line_end_of(t);
    if (!t.empty() && t.back() != '\n' && im.strings.append.empty()) im.strings.append = eol;
    im.strings.append += std::string(kStringTable[index].id) + " = \"" + e.str + "\"" + eol;
  }
  ++im.imported;
}

FileChange* page_change(Import& im, size_t p) {
  auto it = im.page_changes.find(p);
  if (it != im.page_changes.end()) return &it->second;
  const PagePair& page = im.pages[p];
  FileChange change;
  change.path = page.lang_path;
  change.support = page.support;
  change.create = !page.exists;
  if (!im.sources.root.read_file(page.def_path, &change.def_text)) return nullptr;
  if (change.create) {
    change.text = change.def_text;
  } else if (!im.sources.root.read_file(page.lang_path, &change.text)) {
    return nullptr;
  }
  change.blocks = text_blocks(change.text, page.support);
  change.def_blocks = text_blocks(change.def_text, page.support);
  return &im.page_changes.emplace(p, std::move(change)).first->second;
}

void import_block(Import& im, const PoEntry& e, size_t p, size_t block) {
  const Where at{im.po_file, e.line};
  if (e.str.find_first_of("\r\n") != std::string::npos || e.str.find('\0') != std::string::npos) {
    im.diag.report(at, Msg::po_unusable, e.context, "a page block is one line");
    return;
  }
  FileChange* change = page_change(im, p);
  if (!change) return;
  // Blocks pair by position only when the pages have the same shape.
  if (!same_shape(change->blocks, change->def_blocks) || block >= change->blocks.size()) return;
  const TextBlock& src = change->def_blocks[block];
  if (change->def_text.compare(src.begin, src.end - src.begin, e.id) != 0) return;  // made from an older text
  check_translation(im.diag, at, e.context, e.id, e.str);
  const TextBlock& b = change->blocks[block];
  if (change->text.compare(b.begin, b.end - b.begin, e.str) == 0) return;
  add_edit(*change, {b.begin, b.end, e.str, e.line});
  ++im.imported;
}

void import_entry(Import& im, const PoEntry& e) {
  if (e.fuzzy || e.str.empty() || e.id.empty()) return;
  const size_t hash = e.context.rfind('#');
  if (hash == std::string::npos) {
    const int index = string_index_by_id(e.context);
    if (index >= 0) import_string(im, e, index);
    return;
  }
  auto it = im.page_by_item.find(std::string_view(e.context).substr(0, hash));
  const int block = std::atoi(e.context.c_str() + hash + 1);
  if (it != im.page_by_item.end() && block > 0) import_block(im, e, it->second, static_cast<size_t>(block - 1));
}

}  // namespace

namespace {

// Whether the edited page still has its blocks, each holding what was put
// there: a translation starting with "*" or holding a heading's "=" would
// change the page's lines.
bool keeps_shape(const FileChange& change, const std::string& edited) {
  const std::vector<TextBlock> after = text_blocks(edited, change.support);
  if (!same_shape(after, change.blocks)) return false;
  for (const Edit& e : change.edits) {
    size_t i = 0;
    while (i < change.blocks.size() && change.blocks[i].begin != e.begin) ++i;
    const std::string_view now = std::string_view(edited).substr(after[i].begin, after[i].end - after[i].begin);
    if (now != e.text) return false;
  }
  return true;
}

// Creates the folders above a new page, each only after the one above it
// proved to lie inside the site: a linked folder must not take the page,
// or a folder made for it, outside. Returns the first folder outside, or "".
std::string make_parent_folders(const SourceRoot& root, const std::string& path) {
  for (size_t at = path.find('/'); at != std::string::npos; at = path.find('/', at + 1)) {
    const std::string folder = path.substr(0, at);
    if (root.outside_site(folder)) return folder;
    FsError ignored;
    make_folder(root.path_of(folder), &ignored);
  }
  return {};
}

bool write_change(Import& im, FileChange& change, int* files) {
  std::sort(change.edits.begin(), change.edits.end(), [](const Edit& a, const Edit& b) { return a.begin < b.begin; });
  if (change.edits.empty() && change.append.empty()) return true;
  const std::string edited = applied(change);
  if (!change.blocks.empty() && !keeps_shape(change, edited)) {
    im.diag.report({im.po_file, change.edits.front().po_line}, Msg::po_unusable, PathArg{change.path},
                   "its translations would change what kind of line a block is");
    return true;
  }
  if (change.create) {
    if (const std::string folder = make_parent_folders(im.sources.root, change.path); !folder.empty()) {
      im.diag.report({change.path}, Msg::source_outside_site, PathArg{folder});
      return false;
    }
  }
  FileSink out;
  if (out.open(im.sources.root.path_of(change.path))) out.write(edited);
  if (!out.close()) {
    im.diag.report({change.path}, Msg::write_failed, PathArg{change.path}, error_text(out.error()));
    return false;
  }
  ++*files;
  return true;
}

// The language named by the header's "Language:", as a site code.
std::string header_language(const std::vector<PoEntry>& entries) {
  if (entries.empty() || !entries.front().id.empty()) return {};
  std::string code = ascii_lower(po_header_field(entries.front().str, "Language"));
  std::replace(code.begin(), code.end(), '_', '-');
  return code;
}

}  // namespace

int import_po_task(const TranslateTask& task, const Sources& sources, Diagnostics& diag) {
  std::string text, error;
  if (!read_named_file(task.po_file, &text)) {
    diag.report({task.po_file}, Msg::cant_open, PathArg{task.po_file});
    return 1;
  }
  std::vector<PoEntry> entries;
  int line = 0;
  if (!parse_po(text, &entries, &error, &line)) {
    diag.report({task.po_file, line}, Msg::po_unparsable, error);
    return 1;
  }
  const std::string code = header_language(entries);
  const int l = lang_index(sources, code);
  if (l < 0 || static_cast<size_t>(l) == sources.default_lang) {
    diag.report({task.po_file}, Msg::po_no_language, code);
    return 1;
  }
  const LangSources& lang = sources.langs[static_cast<size_t>(l)];
  Import im{sources, lang, task.po_file, diag, {}, {}, page_pairs(sources, static_cast<size_t>(l)), {}, {}, 0};
  im.strings.path = lang.file;
  if (!sources.root.read_file(lang.file, &im.strings.text)) {
    diag.report({lang.file}, Msg::cant_open, PathArg{lang.file});
    return 1;
  }
  im.keys = key_lines(im.strings.text);
  for (size_t p = 0; p < im.pages.size(); ++p) im.page_by_item.emplace(im.pages[p].item, p);
  for (const PoEntry& e : entries) import_entry(im, e);
  int files = 0;
  bool ok = write_change(im, im.strings, &files);
  for (auto& [p, change] : im.page_changes) ok = write_change(im, change, &files) && ok;
  diag.report({}, Msg::po_imported, im.imported, files, lang.code);
  return ok ? 0 : 1;
}

}  // namespace mt
