#include "translate/sources.h"

#include "lang/languages.h"
#include "platform/fs.h"
#include "platform/remove.h"
#include "platform/text.h"
#include "support/tree.h"

namespace mt {

namespace {

void read_strings(const SourceRoot& root, LangSources& lang, const Language& loaded) {
  for (int i = 0; i < kStringCount; ++i) {
    auto& s = lang.strings[static_cast<size_t>(i)];
    s.value = loaded.value(i);
    s.defined = loaded.defined.test(static_cast<size_t>(i));
  }
  std::string text;
  if (!root.read_file(lang.file, &text)) return;
  // The last line of a key is the one the loader keeps.
  for (const KeyLineAt& k : key_lines(text)) {
    if (k.index < 0) continue;
    auto& s = lang.strings[static_cast<size_t>(k.index)];
    s.line = k.line;
    s.same = k.same;
  }
}

void read_pages(LangSources& lang, const Language& loaded, SourceRoot& root, const Collator& collator,
                bool is_default) {
  for (size_t t = 0; t < kTemplateCount; ++t) {
    const std::string path = join_path(lang.code, loaded.value(kTemplatePages[t]));
    if (!root.exists(path)) continue;
    lang.templates[t] = root.resolve(path);
    std::string text;
    if (is_default && root.read_file(lang.templates[t], &text)) lang.template_hash[t] = item_hash(text);
  }
  lang.support_folder = root.resolve(join_path(lang.code, loaded.value(SUPPORT_FOLDER)));
  StringSink dropped;
  Diagnostics quiet{&dropped};
  build_support_tree(lang.support, root, lang.support_folder, collator, quiet, lang.code);
  // Texts are hashed (default language) and let go at once, so thirty
  // languages of large trees need no more memory than one.
  if (is_default) lang.support_hash.resize(lang.support.nodes().size());
  for (size_t n = 0; n < lang.support.nodes().size(); ++n) {
    std::optional<std::string> text = lang.support.take_text(static_cast<int>(n));
    if (is_default) lang.support_hash[n] = text ? item_hash(*text) : 0;
  }
}

}  // namespace

uint64_t item_hash(std::string_view text) {
  FileDigest digest;
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  while (!text.empty()) {
    size_t nl = text.find('\n');
    std::string_view line = text.substr(0, nl);
    size_t end = line.find_last_not_of(" \t\r");
    line = end == std::string_view::npos ? std::string_view() : line.substr(0, end + 1);
    digest.add(line.data(), line.size());
    if (nl == std::string_view::npos) break;
    digest.add("\n", 1);
    text.remove_prefix(nl + 1);
  }
  return digest.hash;
}

bool read_sources(Sources* sources, const Collator& collator, Diagnostics& diag) {
  StringSink dropped;
  Diagnostics quiet{&dropped};
  std::vector<std::pair<std::string, Language>> loaded;  // file name, record
  SourceRoot& root = sources->root;
  for (const DirEntry& entry : root.list_txt_files("")) {
    if (entry.is_dir || entry.name.starts_with("{{")) continue;
    Language record;
    if (!load_language_file(root, entry.name, quiet, &record)) continue;
    bool seen = false;  // a second file of one code is built over the first; only one counts
    for (const auto& [name, other] : loaded) seen = seen || other.code == record.code;
    if (!seen) loaded.emplace_back(entry.name, std::move(record));
  }
  if (loaded.empty()) {
    load_languages(root, diag);  // says why where the user sees it
    return false;
  }
  sources->default_lang = 0;
  for (size_t i = 0; i < loaded.size(); ++i) {
    if (loaded[i].second.code == "en-us") sources->default_lang = i;
  }
  for (size_t i = 0; i < loaded.size(); ++i) {
    LangSources& lang = sources->langs.emplace_back();
    lang.code = loaded[i].second.code;
    lang.file = loaded[i].first;
    read_strings(root, lang, loaded[i].second);
    read_pages(lang, loaded[i].second, root, collator, i == sources->default_lang);
  }
  const SupportTree& def_tree = sources->langs[sources->default_lang].support;
  for (const LangSources& lang : sources->langs) sources->counterparts.push_back(match_support(def_tree, lang.support));
  return true;
}

std::string support_page_path(const std::string& folder, const SupportTree& tree, int node) {
  return join_path(folder, tree.nodes()[static_cast<size_t>(node)].source_path) + ".txt";
}

bool is_site_source(const Sources& sources, const std::string& path) {
  FileId target;
  if (!file_id(path, &target)) return false;  // a new file
  auto same = [&target, &sources](const std::string& source) {
    FileId id;
    return sources.root.id(source, &id) && id == target;
  };
  for (const char* shared : {"maketarnwick.conf", "maketarnwick.translations", "donations.csv",
                             "supported_languages.csv", "previous_stable_releases.csv", "{{PREVIOUS_VERSIONS}}.txt"}) {
    if (same(shared)) return true;
  }
  for (const LangSources& lang : sources.langs) {
    if (same(lang.file)) return true;
    for (const std::string& page : lang.templates) {
      if (!page.empty() && same(page)) return true;
    }
    for (size_t n = 0; n < lang.support.nodes().size(); ++n) {
      if (same(support_page_path(lang.support_folder, lang.support, static_cast<int>(n)))) return true;
    }
  }
  return false;
}

int lang_index(const Sources& sources, std::string_view code) {
  for (size_t i = 0; i < sources.langs.size(); ++i) {
    if (equal_no_case(sources.langs[i].code, code)) return static_cast<int>(i);
  }
  return -1;
}

std::string template_item_name(size_t template_slot) {
  std::string_view id = kStringTable[kTemplatePages[template_slot]].id;
  id.remove_suffix(std::string_view("_TEMPLATE").size());
  return "page:" + ascii_lower(id);
}

std::string support_item_name(const SupportTree& def, int node) {
  return "support/" + def.nodes()[static_cast<size_t>(node)].source_path + ".txt";
}

}  // namespace mt
