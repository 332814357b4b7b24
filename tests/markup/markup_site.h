#pragma once
// The records a conversion needs, in a temporary folder: a German sub-site under
// "http://x" whose support wiki holds wendrel, wendrel/installing_wendrel and wendrel/faq.

#include <string>

#include "helpers/fixture.h"
#include "links/urls.h"
#include "macros/expander.h"
#include "markup/converter.h"
#include "support/tree.h"

namespace mt::test {

struct MarkupSite : SiteRecords {
  explicit MarkupSite(bool support_page = false) {
    for (const char* name : {"01-Wendrel.txt", "01-Wendrel/01-Installing Wendrel.txt", "01-Wendrel/02-FAQ.txt"}) {
      write_file(std::string("de-de/support/") + name, "= Title\n");
    }
    build_support_tree(lang.support, build.sources, "de-de/support", build.collator);
    declare_known_pages();
    page.out = &html;
    page.url = support_page ? "http://x/de-de/support/wendrel/installing_wendrel" : "http://x/de-de/faq";
    options.support = support_page;
    options.macros = expand_macro;
  }

  /// Converts `text` written to `path`; true when it could be read.
  bool convert(const std::string& text, const std::string& path = "page.txt") {
    write_file(path, text);
    return convert_page(build, lang, page, path, options);
  }
  /// Messages, then the broken links of the final check, then "listed: <path>" lines.
  std::string report() {
    build.links.final_check(build.diag);
    std::string text = messages.text;
    for (const std::string& path : lang.files.paths()) text += "listed: " + path + "\n";
    return text;
  }

  TempDir dir;  // made before the constructor writes the support wiki
  StringSink html;
  Page page;
  ConvertOptions options;
};

}  // namespace mt::test
