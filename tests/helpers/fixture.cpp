#include "helpers/fixture.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "driver/build.h"

namespace fs = std::filesystem;

namespace mt::test {

// The year that tests pin the copyright line to.
static int fixed_year() { return 2026; }

TempDir::TempDir(bool in_memory) {
  std::error_code error;
  fs::path base = in_memory && fs::is_directory("/dev/shm", error) && access("/dev/shm", W_OK) == 0
                      ? fs::path("/dev/shm")
                      : fs::temp_directory_path();
  // A fresh random name, as mkdtemp would make (Windows has no mkdtemp).
  std::random_device random;
  for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
    fs::path candidate = base / ("mt-test-" + std::to_string(random()));
    if (fs::create_directory(candidate, error)) path_ = candidate.string();
  }
  previous_ = fs::current_path().string();
  fs::current_path(path_);
}

TempDir::~TempDir() {
  std::error_code ignored;
  fs::current_path(previous_, ignored);
  fs::remove_all(path_, ignored);
}

void write_file(const std::string& path, const std::string& contents) {
  fs::path p(path);
  if (p.has_parent_path()) fs::create_directories(p.parent_path());
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  f << contents;
}

std::string read_file(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return f ? std::string(std::istreambuf_iterator<char>(f), {}) : "<missing>";
}

std::map<std::string, std::string> file_tree(const std::string& root) {
  std::map<std::string, std::string> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
    const std::string below = std::filesystem::relative(entry.path(), root).generic_string();
    files[below] = entry.is_regular_file() ? read_file(entry.path().string()) : "<folder>";
  }
  return files;
}

bool exists(const std::string& path) {
  std::error_code ignored;
  return fs::exists(path, ignored);
}

std::string source_path(const std::string& below) {
  const char* root = std::getenv("MT_SOURCE_DIR");
  return std::string(root ? root : ".") + "/" + below;
}

std::string full_language_file(const std::string& name, const std::string& extra) {
  std::string text = "_LANGUAGE_NAME = \"" + name + "\"\r\n";
  for (const StringDef& def : kStringTable) text += std::string(def.id) + " = \"" + def.value + "\"\r\n";
  return text + extra;
}

bool contains(std::string_view text, std::string_view part) { return text.find(part) != std::string_view::npos; }

size_t count(std::string_view text, std::string_view part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string_view::npos; at = text.find(part, at + part.size())) ++n;
  return n;
}

std::string repeat(std::string_view text, size_t times) {
  std::string out;
  while (times-- > 0) out += text;
  return out;
}

std::string with_nul(std::string text) {
  for (size_t at; (at = text.find("␀")) != std::string::npos;) text.replace(at, 3, 1, '\0');
  return text;
}

RunResult run_tool(const std::vector<std::string>& args) {
  StringSink out;
  const int status = run(args, out, fixed_year);
  return {status, out.text};
}

namespace {
BuildSetup test_setup(const std::string& code, const std::string& url_root) {
  std::vector<Language> languages(1);
  languages.reserve(8);  // tests add languages; the language build keeps pointing at the first
  languages[0].code = code.empty() ? "en-us" : code;
  BuildConfig config;
  config.output_root = "out";
  config.url_root = url_root;
  return make_build_setup(config, SiteConfig{}, std::move(languages));
}
}  // namespace

SiteRecords::SiteRecords(const std::string& code, const std::string& url_root)
    : links(url_root),
      setup(test_setup(code, url_root)),
      build{setup, diag, links, sources, collator, fixed_year, tally},
      lang(make_lang_build(setup, setup.languages[0], code)) {}

void SiteRecords::use_code(const std::string& code) {
  // What the tests gave the language build stays: its tree and its files.
  LangBuild next = make_lang_build(setup, language(), code);
  lang.folder_code = next.folder_code;
  lang.base_code = next.base_code;
  lang.folder_part = next.folder_part;
  lang.url_part = next.url_part;
  lang.output_folder = next.output_folder;
  lang.base_url = next.base_url;
}

void SiteRecords::declare_known_pages() {
  for (const char* url : {"/forum", "http://x/de-de/faq"}) links.declare(url, std::nullopt, true);
  for (const SupportNode& node : lang.support.nodes()) {
    links.declare("http://x/de-de/support/" + node.path_slug, std::nullopt, true);
  }
}

}  // namespace mt::test
