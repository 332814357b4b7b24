#include "lang/languages.h"

#include <algorithm>
#include <map>

#include "platform/fs.h"
#include "platform/lines.h"
#include "platform/served_files.h"
#include "platform/text.h"

namespace mt {

namespace {

// Lines are handled in pieces of at most this many bytes, each piece as a
// line of its own, so an over-long line never becomes one huge key or value.
constexpr LineRules kLanguageLines{4095, true, true};

bool is_white(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

size_t skip_white(std::string_view line, size_t i) {
  while (i < line.size() && is_white(line[i])) ++i;
  return i;
}

// A `key = "value` line, leniently: an unclosed value runs to the line end.
// False for comments and other lines (ignored silently).
bool split_key_line(std::string_view line, KeyLine* parsed) {
  size_t i = skip_white(line, 0);
  if (i < line.size() && line[i] == '/') return false;
  return parse_key_line(line, false, parsed);
}

// Strings that become file or folder names when pages are built. The
// license string is only a default link text's target, so it is not one.
bool names_a_path(int index) {
  return (index >= HOME_TEMPLATE && index <= MAINTENANCE_TEMPLATE) || index == SUPPORT_FOLDER;
}

// Strings the contact script embeds in its PHP double-quoted strings.
bool embedded_in_script(int index) { return index == CONTACTOK_TEMPLATE || index == CONTACTERROR_TEMPLATE; }

// Whether every component of `path` is empty or ".": such a value names
// the folder it stands in, so its page or support tree would land on the
// language's own pages.
bool names_no_entry(std::string_view path) {
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find_first_of("/\\", start);
    if (end == std::string_view::npos) end = path.size();
    std::string_view part = path.substr(start, end - start);
    if (!part.empty() && part != ".") return false;
    start = end + 1;
  }
  return true;
}

// A template's page folder is its name less the extension; ".txt" would
// put the page at the language's home.
bool unsafe_path_value(int index, std::string_view value) {
  if (leaves_folder(value) || names_no_entry(value)) return true;
  return index != SUPPORT_FOLDER && index != HOME_TEMPLATE && names_no_entry(cut_extension(value));
}

struct LoadState {
  const std::string& file_name;
  Language& record;
  bool name_set = false;
  bool pedantic = false;
  std::map<std::string, int, std::less<>> key_lines;  // under --pedantic: each key's first line
};

bool is_blank(std::string_view line) { return skip_white(line, 0) == line.size(); }

// What --pedantic says of a line the loader passes over, or of a key given
// twice; a plain run keeps both silent.
void check_line(LoadState& state, std::string_view line, int number, bool applied, const KeyLine& parsed,
                Diagnostics& diag) {
  if (!applied) {
    if (is_blank(line) || line[skip_white(line, 0)] == '/') return;
    diag.report({state.file_name, number}, Msg::malformed_line);
    return;
  }
  if (!parsed.closed) diag.report({state.file_name, number}, Msg::malformed_line);
  auto [it, first] = state.key_lines.try_emplace(std::string(parsed.key), number);
  if (!first) {
    diag.report({state.file_name, number}, Msg::defined_again, parsed.key, it->second);
  }
}

void apply_key(LoadState& state, std::string_view key, std::string_view value, Diagnostics& diag) {
  // Special keys match by prefix and with case, in this order; so
  // "_LANGUAGE_TRANSLATOR_LINK" is taken by the "_LANGUAGE_TRANSLATOR" test.
  if (key.starts_with("_LANGUAGE_NAME")) {
    state.record.display_name = value;
    state.name_set = true;
    return;
  }
  if (key.starts_with("_LANGUAGE_ENGLISH_NAME") || key.starts_with("_LANGUAGE_TRANSLATOR")) return;
  if (key.starts_with("_LANGUAGE_TEXT_DIRECTION")) {
    if (equal_no_case(value, "RTL")) state.record.rtl = true;
    return;
  }
  int index = string_index_by_id(key);
  if (index < 0) {
    std::string hint = state.pedantic ? closest_name(key, kStringTable, [](const StringDef& d) { return d.id; }) : "";
    if (hint.empty()) {
      diag.report({state.file_name}, Msg::unknown_string, key);
    } else {
      diag.report({state.file_name}, Msg::unknown_string_hint, key, hint);
    }
    return;
  }
  if (names_a_path(index) && unsafe_path_value(index, value)) {
    diag.report({state.file_name}, Msg::unsafe_path, kStringTable[index].id, value);
    return;
  }
  if (embedded_in_script(index) && !safe_in_script(value)) {
    diag.report({state.file_name}, Msg::unsafe_character, kStringTable[index].id, value);
    return;
  }
  auto slot = static_cast<size_t>(index);
  state.record.values[slot] = value;
  state.record.defined.set(slot);
}

std::string code_from_file_name(const std::string& file_name) {
  std::string code = file_name.substr(0, file_name.find('.'));
  return ascii_lower(code);
}

// Whether the rest of a key line after its value's closing quote is the
// comment "// same"; the loader ignores whatever follows the quote.
bool marked_same(std::string_view rest) {
  if (rest.empty() || rest[0] != '"') return false;
  size_t i = skip_white(rest, 1);
  if (rest.substr(i, 2) != "//") return false;
  i = skip_white(rest, i + 2);
  std::string_view word = rest.substr(i, 4);
  return equal_no_case(word, "same") && skip_white(rest, i + 4) == rest.size();
}

}  // namespace

std::vector<KeyLineAt> key_lines(std::string_view contents) {
  std::vector<KeyLineAt> found;
  TextLines lines(contents, kLanguageLines);
  TextLine piece;
  int number = 1;
  while (lines.next(&piece)) {
    KeyLine parsed;
    if (split_key_line(piece.text, &parsed)) {
      KeyLineAt k;
      k.index = string_index_by_id(parsed.key);
      k.line = number;
      k.value_begin = static_cast<size_t>(parsed.value.data() - contents.data());
      k.value_end = k.value_begin + parsed.value.size();
      const size_t after = static_cast<size_t>(parsed.value.data() + parsed.value.size() - piece.text.data());
      k.same = marked_same(piece.text.substr(after));
      found.push_back(k);
    }
    if (piece.ends_line) ++number;
  }
  return found;
}

Language load_language_file(const SourceRoot& sources, const std::string& file_name, Diagnostics& diag) {
  Language record;
  load_language_file(sources, file_name, diag, &record);
  return record;
}

bool load_language_file(const SourceRoot& sources, const std::string& file_name, Diagnostics& diag, Language* loaded,
                        bool pedantic) {
  Language& record = *loaded;
  LoadState state{file_name, record, false, pedantic, {}};

  // A file that cannot be read still gives a record, with every string
  // undefined and no name.
  // The code becomes part of every URL the contact script embeds.
  record.code = code_from_file_name(file_name);
  if (record.code.empty() || !safe_in_script(record.code)) {
    diag.report({file_name}, Msg::unsafe_code);
    return false;
  }
  std::string contents;
  ReadResult read = sources.read(file_name, &contents);
  if (read == ReadResult::kOutsideSite) {
    diag.report({file_name}, Msg::source_outside_site, PathArg{file_name});
    return false;
  }
  if (read == ReadResult::kRead) {
    TextLines lines(contents, kLanguageLines);
    TextLine piece;
    int number = 1;  // line of the next piece: an over-long line's pieces share it
    while (lines.next(&piece)) {
      KeyLine parsed;
      bool applied = split_key_line(piece.text, &parsed);
      if (pedantic) check_line(state, piece.text, number, applied, parsed, diag);
      if (applied) apply_key(state, parsed.key, parsed.value, diag);
      if (piece.ends_line) ++number;
    }
  }

  for (int i = 0; i < kStringCount; ++i) {
    if (!record.defined.test(static_cast<size_t>(i))) {
      diag.report({file_name}, Msg::undefined_string, kStringTable[i].id);
    }
  }
  if (!state.name_set) {
    diag.report({file_name}, Msg::language_name_unset);
    record.display_name = "Unknown";
  }
  return true;
}

const Language* language_by_code(const std::vector<Language>& languages, std::string_view code) {
  for (const Language& lang : languages) {
    if (equal_no_case(lang.code, code)) return &lang;
  }
  return nullptr;
}

std::vector<Language> load_languages(const SourceRoot& sources, Diagnostics& diag, bool pedantic) {
  std::vector<Language> languages;
  std::vector<std::string> file_names;  // of `languages`, for naming a code given twice
  bool found = false;
  for (const DirEntry& entry : sources.list_txt_files("")) {
    // "{{...}}.txt" files are page texts that macros include, not languages.
    if (entry.is_dir || entry.name.starts_with("{{")) continue;
    found = true;
    Language record;
    if (!load_language_file(sources, entry.name, diag, &record, pedantic)) continue;
    // Both are built into the same folder, the later over the earlier.
    if (const Language* same = pedantic ? language_by_code(languages, record.code) : nullptr) {
      diag.report({entry.name}, Msg::duplicate_code, record.code,
                  PathArg{file_names[static_cast<size_t>(same - languages.data())]});
    }
    languages.push_back(std::move(record));
    file_names.push_back(entry.name);
  }
  // Most likely the tool was started in the wrong folder: a run that builds
  // nothing must not pass for a clean one.
  if (!found) {
    const std::string given = sources.path().empty() ? "." : sources.path();
    const std::string folder = canonical_folder(given);
    diag.report({}, Msg::no_language_file, PathArg{folder.empty() ? given : folder});
  }
  return languages;
}

}  // namespace mt
