// Every fuzz target (see README.md); CMake builds this file once per target,
// MT_FUZZ_TARGET naming its function. A broken property stops the run like a crash.

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "driver/build.h"
#include "driver/build_record.h"
#include "helpers/fixture.h"
#include "lang/languages.h"
#include "links/registry.h"
#include "links/urls.h"
#include "macros/csv.h"
#include "macros/expander.h"
#include "markup/converter.h"
#include "markup/ids.h"
#include "markup/inline.h"
#include "platform/text.h"
#include "support/tree.h"

namespace fs = std::filesystem;
using namespace mt;

namespace {

#define CHECK(condition) \
  if (!(condition)) __builtin_trap()

void write_file(const std::string& path, std::string_view bytes) {
  fs::path p(path);
  if (p.has_parent_path()) fs::create_directories(p.parent_path());
  // A new file rather than a truncated one: ext4 flushes a truncated file to
  // disk when it is closed, which would make the disk the fuzzer's pace.
  std::error_code ignored;
  fs::remove(p, ignored);
  std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void provide(const char* path, bool present, std::string_view text) {
  std::error_code ignored;
  if (present) write_file(path, text);
  else fs::remove(path, ignored);
}

bool is_id_byte(unsigned char c) {
  return c >= 0x80 || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
}

constexpr const char* kCsvFiles[] = {"donations.csv", "supported_languages.csv", "previous_stable_releases.csv"};

// One per process: the collator, the scanned tree and the link registry cost
// more to make than most inputs cost to run. The registry is renewed every few
// thousand inputs, which bounds its memory; nothing else carries over.
struct Site : test::SiteRecords {
  StringSink html;
  Page page;
  int runs = 0;

  Site() {
    language().display_name = "Deutsch";
    build_support_tree(lang.support, build.sources, "de-de/support", build.collator);
    page.out = &html;
    renew_links();
  }
  void renew_links() {
    links = LinkRegistry(setup.url_root);
    declare_known_pages();
  }
  // Starts the run of one input; a target may have switched to the root build.
  void begin(bool support_page) {
    if (++runs % 4096 == 0) {
      links.final_check(build.diag);
      renew_links();
    }
    use_code("de-de");
    messages.text.clear();
    html.text.clear();
    build.diag.errors = build.diag.warnings = 0;
    lang.files = ReferencedFiles{};
    page.ids = IdRegistry{};
    page.converting.clear();
    page.url = support_page ? "http://x/de-de/support/wendrel/installing_wendrel" : "http://x/de-de/faq";
  }
};

// Made on first use, inside the private folder.
Site& site() {
  static Site* shared = new Site();
  return *shared;
}

// Every message is counted, one line each; no kept value can break out of the
// contact script or the language folder.
void language_file_target(std::string_view text) {
  write_file("xx-XX.b.txt", text);
  StringSink messages;
  Diagnostics diag{&messages}, refused{&messages}, again{&messages};
  const SourceRoot sources;
  Language language = load_language_file(sources, "xx-XX.b.txt", diag);
  CHECK(language.code == "xx-xx");
  // Each undefined string is one warning, each line at most one more.
  CHECK(diag.warnings >= static_cast<int>(kStringCount - language.defined.count()));
  CHECK(std::count(messages.text.begin(), messages.text.end(), '\n') == diag.warnings + diag.errors);
  for (int index : {CONTACTOK_TEMPLATE, CONTACTERROR_TEMPLATE}) CHECK(safe_in_script(language.value(index)));
  for (int index = HOME_TEMPLATE; index <= SUPPORT_FOLDER; ++index) {
    const std::string& value = language.value(index);
    CHECK(!leaves_folder(value) && !value.empty() && value != "." && value != "..");
  }
  // A code the script cannot embed is refused whatever the file holds.
  Language unused;
  CHECK(!load_language_file(sources, "x$y.txt", refused, &unused) && refused.errors == 1 && refused.warnings == 0);
  // The folder's only language file loads the same when listed.
  std::vector<Language> listed = load_languages(sources, again);
  CHECK(listed.size() == 1 && listed[0].values == language.values && listed[0].rtl == language.rtl &&
        listed[0].display_name == language.display_name && again.warnings == diag.warnings);
}

void csv_target(std::string_view text) {
  // Each read moves forward and copies no more than it moved over; one that
  // does not move is at a line end or the end, where later fields are empty.
  std::string field;
  for (size_t pos = 0, next;; pos = next) {
    next = read_csv_field(text, pos, field);
    CHECK(next >= pos && next <= text.size() && field.size() <= next - pos);
    if (next > pos) continue;
    CHECK(field.empty() && (pos == text.size() || text[pos] == '\r' || text[pos] == '\n'));
    break;
  }
  Site& s = site();
  s.begin(false);
  for (const char* file : kCsvFiles) write_file(file, text);
  write_donate_history(s.build, s.lang, s.html);
  CHECK(s.html.text.starts_with("<table class=\"donatehistorytable\"") && s.html.text.ends_with("</table>\r\n"));
  write_supported_languages(s.build, s.lang, s.html);
  write_previous_stable_releases(s.build, s.lang, s.html);
}

void converter_target(uint8_t flags, std::string_view text) {
  Site& s = site();
  s.begin(flags & 1);
  ConvertOptions options{.support = (flags & 1) != 0, .macros = expand_macro};
  write_file("page.txt", text);
  for (const char* path : kCsvFiles) provide(path, flags & 16, text);
  provide("{{PREVIOUS_VERSIONS}}.txt", flags & 8, text);
  CHECK(convert_page(s.build, s.lang, s.page, "page.txt", options));
  InlineState state{(flags & 2) != 0, (flags & 4) != 0};
  // A heading's text ends at its first '=' outside markup.
  const std::optional<char> stop = flags & 32 ? std::optional<char>('=') : std::nullopt;
  const RenderedLine rendered = render_page_line(s.lang, s.page, text, options, state, stop);
  CHECK(rendered.end <= text.size() && (stop || rendered.end == text.size()));
  record_references(s.build, s.lang, rendered.refs, LineSource{"page.txt", 1});
}

void links_target(uint8_t flags, std::string_view text) {
  Site& s = site();
  s.begin(false);
  if (flags & 1) s.use_code("");  // the root build
  // After the first '#' only id bytes, never a trailing '_'.
  const UrlTarget target = resolve_target(s.lang, text);
  const std::string& url = target.url;
  size_t hash = url.find('#');
  CHECK((hash == std::string::npos) == (text.find('#') == std::string_view::npos));
  if (hash != std::string::npos) {
    CHECK(std::all_of(url.begin() + hash + 1, url.end(), [](char c) { return is_id_byte(c); }) && url.back() != '_');
  }
  // Resolving is pure: only a target holding a '.' names a file, and nothing is recorded.
  CHECK(target.file.empty() || text.find('.') != std::string_view::npos);
  CHECK(s.lang.files.paths().empty());
  // Text outside links passes unchanged.
  CHECK(text.find("[[") != std::string_view::npos || render_string_links(s.build, s.lang, text) == text);
}

// A support page named by the input's first line is found the way links look pages up.
void slug_target(std::string_view text) {
  const std::string id = heading_id(text), path = slug(text, false);
  CHECK(std::all_of(id.begin(), id.end(), [](char c) { return is_id_byte(c); }));
  // Path slugs may keep one '#' and turn '\' into '/'.
  CHECK(path.size() <= text.size() && std::count(path.begin(), path.end(), '#') <= 1);
  CHECK(std::all_of(path.begin(), path.end(), [](char c) { return is_id_byte(c) || c == '#' || c == '/'; }));
  // An id is taken once per page, whatever its letter case.
  StringSink messages;
  Diagnostics diag{&messages};
  IdRegistry ids;
  std::string shouted = id;
  for (char& c : shouted) c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
  CHECK(ids.add(id, diag) && !ids.add(shouted, diag) && messages.text == "id " + shouted + " already exists\n");

  const std::string_view name = text.substr(0, text.find('\n'));
  if (name.empty() || name.size() >= 200 || name == "." || name == ".." ||
      name.find_first_of(std::string_view("/\0", 2)) != std::string_view::npos) {
    return;  // not a file name
  }
  fs::remove_all("support");
  write_file("support/" + std::string(name) + ".txt", text);
  SupportTree tree;
  SourceRoot sources;  // the folder changes with every input: no listing kept
  build_support_tree(tree, sources, "support", site().build.collator);
  for (const SupportNode& node : tree.nodes()) {
    CHECK(tree.find_child(node.parent, node.name) >= 0 && tree.find_child(node.parent, node.slug) >= 0);
  }
}

// A build record read back (the first byte: how many language builds it is
// read for); one that is read must hold what a build relies on: messages
// of known ids and plain lines, gates among its places, written files
// each with a stamp. Its links then go through a final check.
void record_target(uint8_t flags, std::string_view body) {
  KeptBuild kept;
  std::vector<TreeEntry> sources;
  const size_t units = flags % 5;
  if (!parse_record_body(body, "", units, kept, &sources)) return;
  CHECK(kept.units.size() == units);
  for (KeptBuild::Unit& unit : kept.units) {
    CHECK(unit.stamps.size() == unit.written.size());
    for (const HeldMessage& message : unit.held) {
      CHECK(static_cast<size_t>(message.id) < kMessageCount && message.gate < static_cast<int>(unit.places.size()));
      CHECK(std::none_of(message.line.begin(), message.line.end(), [](char c) { return c == '\x1b'; }));
    }
    StringSink out;
    Diagnostics diag{&out};
    unit.links.final_check(diag, flags & 8);
  }
}

// The target's input: whole, or a first byte of flags and the rest.
void take(void (*target)(std::string_view), const uint8_t* data, size_t size) {
  target({reinterpret_cast<const char*>(data), size});
}
void take(void (*target)(uint8_t, std::string_view), const uint8_t* data, size_t size) {
  if (size > 0) target(data[0], {reinterpret_cast<const char*>(data + 1), size - 1});
}

}  // namespace

// Each target works in a fresh folder under $TMPDIR, removed at a normal exit.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  static test::TempDir folder;
  write_file("de-de/support/01-Wendrel.txt", "= Wendrel\n");
  write_file("de-de/support/01-Wendrel/01-Installing Wendrel.txt", "= Installing\n");
  write_file("de-de/support/01-Wendrel/02-FAQ.txt", "= FAQ\n");
  write_file("de-de/support/_Drafts.txt", "=Drafts=\n");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  take(MT_FUZZ_TARGET, data, size);
  return 0;
}
