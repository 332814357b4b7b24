// The page converter over any page text. The first byte picks:
//   bit 0     support page options (else template page options)
//   bits 1-2  bold and italic carried into a second rendering of the whole
//             text as one line (the converter itself starts each line plain)
//   bit 3     the text is also "{{PREVIOUS_VERSIONS}}.txt", so a macro line
//             of that name includes the page's own text
//   bit 4     the text is also each of the three CSV files of the tables
// The rest is the page text.

#include "fuzz_site.h"
#include "macros/expander.h"
#include "markup/converter.h"

using namespace mt;

namespace {

constexpr const char* kCsvFiles[] = {"donations.csv", "supported_languages.csv", "previous_stable_releases.csv"};

void provide(const char* path, bool present, std::string_view text) {
  if (present) {
    fuzz::write_file(path, text);
  } else {
    fuzz::remove_file(path);
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::enter_private_folder();
  fuzz::write_support_tree();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const uint8_t flags = data[0];
  const std::string_view text = fuzz::as_text(data + 1, size - 1);
  fuzz::Site& site = fuzz::Site::shared();
  site.begin(flags & 1);
  ConvertOptions options;
  options.support = flags & 1;
  options.macros = expand_macro;

  fuzz::write_file("page.txt", text);
  provide("{{PREVIOUS_VERSIONS}}.txt", flags & 8, text);
  for (const char* csv : kCsvFiles) provide(csv, flags & 16, text);
  if (!convert_page(site.build, site.lang, site.page, "page.txt", options)) __builtin_trap();

  InlineState state{(flags & 2) != 0, (flags & 4) != 0};
  std::string line;
  render_page_line(site.build, site.lang, site.page, text, options, LineSource{"page.txt", 1, true}, state, line);

  return 0;
}
