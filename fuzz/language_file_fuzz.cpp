// The language-file reader over any file contents: loading never fails,
// every message it prints is one of its own, one line each, counted, and no
// value it keeps can break out of the contact script or the language folder.

#include "fuzz_site.h"
#include "lang/languages.h"
#include "platform/text.h"

using namespace mt;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::enter_private_folder();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::write_file("xx-XX.b.txt", fuzz::as_text(data, size));
  StringSink messages;
  Diagnostics diag;
  diag.out = &messages;
  Language language = load_language_file("xx-XX.b.txt", diag);

  if (language.code != "xx-xx") __builtin_trap();
  // Every string the file leaves undefined is one warning, and a line of the
  // file is at most one more (an unknown key): no file gives fewer.
  if (diag.warnings < static_cast<int>(kStringCount - language.defined.count())) __builtin_trap();
  size_t lines = 0;
  for (char c : messages.text) lines += c == '\n';
  if (lines != static_cast<size_t>(diag.warnings) + static_cast<size_t>(diag.errors)) __builtin_trap();

  // The values the contact script embeds stay plain, and path values name
  // a file inside the language folder.
  for (int index : {CONTACTOK_TEMPLATE, CONTACTERROR_TEMPLATE}) {
    if (!safe_in_script(language.value(index))) __builtin_trap();
  }
  for (int index = HOME_TEMPLATE; index <= SUPPORT_FOLDER; ++index) {
    const std::string& value = language.value(index);
    if (leaves_folder(value) || value.empty() || value == "." || value == "..") __builtin_trap();
  }

  // A name whose code the script cannot embed is refused whatever the file
  // holds: one error, nothing loaded.
  Diagnostics refused;
  refused.out = &messages;
  Language unused;
  if (load_language_file("x$y.txt", refused, &unused) || refused.errors != 1 || refused.warnings != 0) {
    __builtin_trap();
  }

  // The folder's only language file loads the same when listed.
  Diagnostics again;
  again.out = &messages;
  std::vector<Language> listed = load_languages(again);
  if (listed.size() != 1 || listed[0].values != language.values || listed[0].rtl != language.rtl ||
      listed[0].display_name != language.display_name || again.warnings != diag.warnings) {
    __builtin_trap();
  }
  return 0;
}
