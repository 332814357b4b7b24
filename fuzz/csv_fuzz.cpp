// The CSV field reader over any line, then the three tables over the same
// bytes as each of their files.

#include "fuzz_site.h"
#include "macros/csv.h"

using namespace mt;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::enter_private_folder();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text = fuzz::as_text(data, size);

  // Fields follow one another: each read moves forward and copies no more
  // than it moved over; a read that does not move is at a line end or the
  // end of the text, where every later field is empty.
  std::string field;
  size_t pos = 0;
  for (;;) {
    size_t next = read_csv_field(text, pos, field);
    if (next < pos || next > text.size() || field.size() > next - pos) __builtin_trap();
    if (next == pos) {
      if (!field.empty() || (pos < text.size() && text[pos] != '\r' && text[pos] != '\n')) __builtin_trap();
      break;
    }
    pos = next;
  }

  fuzz::Site& site = fuzz::Site::shared();
  site.begin(false);
  for (const char* file : {"donations.csv", "supported_languages.csv", "previous_stable_releases.csv"}) {
    fuzz::write_file(file, text);
  }
  write_donate_history(site.build, site.lang, site.html);
  if (!site.html.text.starts_with("<table class=\"donatehistorytable\"") || !site.html.text.ends_with("</table>\r\n")) {
    __builtin_trap();
  }
  write_supported_languages(site.build, site.lang, site.html);
  write_previous_stable_releases(site.build, site.lang, site.html);
  return 0;
}
