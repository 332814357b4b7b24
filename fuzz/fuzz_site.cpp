#include "fuzz_site.h"

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "driver/build.h"
#include "support/tree.h"

namespace fs = std::filesystem;

namespace mt::fuzz {

namespace {

constexpr std::string_view kFolderPrefix = "mt-fuzz-";

void remove_private_folder() {
  // Only ever the folder made below: a target never changes folder again.
  std::error_code ignored;
  fs::path here = fs::current_path(ignored);
  if (here.filename().string().starts_with(kFolderPrefix)) fs::remove_all(here, ignored);
}

}  // namespace

void enter_private_folder() {
  std::string pattern = (fs::temp_directory_path() / (std::string(kFolderPrefix) + "XXXXXX")).string();
  if (!mkdtemp(pattern.data()) || chdir(pattern.c_str()) != 0) {
    std::perror("fuzz: private folder");
    std::abort();
  }
  std::atexit(remove_private_folder);
}

void write_file(const std::string& path, std::string_view bytes) {
  fs::path p(path);
  if (p.has_parent_path()) fs::create_directories(p.parent_path());
  // A new file rather than a truncated one: ext4 flushes a truncated file to
  // disk when it is closed, which would make the disk the fuzzer's pace.
  std::error_code ignored;
  fs::remove(p, ignored);
  std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void remove_file(const std::string& path) {
  std::error_code ignored;
  fs::remove(path, ignored);
}

void write_support_tree() {
  write_file("de-de/support/01-Wendrel.txt", "= Wendrel\n");
  write_file("de-de/support/01-Wendrel/01-Installing Wendrel.txt", "= Installing\n");
  write_file("de-de/support/01-Wendrel/02-FAQ.txt", "= FAQ\n");
  write_file("de-de/support/_Drafts.txt", "=Drafts=\n");
}

Site& Site::shared() {
  // Made on first use, after the target has entered its private folder.
  static Site* site = new Site();
  return *site;
}

Site::Site() {
  build.url_root = "http://x";
  build.output_root = "out";
  build.diag.out = &messages;
  Language german;
  german.code = "de-de";
  german.display_name = "Deutsch";
  build.languages = {german};
  lang.language = &build.languages[0];
  lang.source_folder = "de-de";
  build_support_tree(lang.support, "de-de/support", build.collator);
  page.out = &html;
  renew_links();
}

void Site::renew_links() {
  links = LinkRegistry(build.url_root);
  build.links = &links;
  build.links->declare("/forum", std::nullopt, true);
  build.links->declare("http://x/de-de/faq", std::nullopt, true);
  for (const SupportNode& node : lang.support.nodes()) {
    build.links->declare("http://x/de-de/support/" + node.path_slug, std::nullopt, true);
  }
}

void Site::begin(bool support_page) {
  if (++runs_ % 4096 == 0) {
    build.links->final_check(build.diag);
    renew_links();
  }
  // A target may switch to the root build; every input starts on "de-de".
  set_language_code(build, lang, "de-de");
  messages.text.clear();
  html.text.clear();
  build.diag.errors = build.diag.warnings = 0;
  lang.files = ReferencedFiles{};
  page.ids = IdRegistry{};
  page.converting.clear();
  page.url = support_page ? "http://x/de-de/support/wendrel/installing_wendrel" : "http://x/de-de/faq";
}

}  // namespace mt::fuzz
