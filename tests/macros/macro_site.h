#pragma once
// A one-language build in a temporary working folder, as the macros see it
// on the "de-de" sub-site.

#include <string>

#include "driver/records.h"
#include "helpers/fixture.h"

namespace mt::test {

struct MacroSite {
  TempDir dir;
  StringSink page_out;
  StringSink diag_out;
  Build build;
  LangBuild lang;
  Page page;

  MacroSite() {
    build.url_root = "http://x";
    build.output_root = dir.path() + "/out";
    build.links = LinkRegistry(build.url_root);
    build.diag.out = &diag_out;
    Language german;
    german.code = "de-de";
    build.languages = {german};
    lang.lang = &build.languages[0];
    use_code("de-de");
    page.out = &page_out;
  }

  /// Switches to the sub-site of `code`, or to the root build for "".
  void use_code(const std::string& code) {
    lang.code = code;
    lang.source_folder = code;
    lang.url_part = lang.folder_part = code.empty() ? "" : "/" + code;
    lang.base_url = build.url_root + lang.url_part;
    lang.output_folder = build.output_root + lang.folder_part;
  }

  std::string take() {
    std::string text = page_out.text;
    page_out.text.clear();
    return text;
  }
};

}  // namespace mt::test
