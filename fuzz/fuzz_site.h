#pragma once
// What the fuzz targets share: a private working folder, and the records of
// a one-language build set up as the unit tests set them up.

#include <string>
#include <string_view>

#include "links/registry.h"
#include "site/records.h"

namespace mt::fuzz {

/// Makes a fresh folder under $TMPDIR the working folder for the rest of
/// the process; it is removed when the process exits normally.
void enter_private_folder();

/// Writes `bytes` to `path` (relative to the working folder), creating its
/// parent folders.
void write_file(const std::string& path, std::string_view bytes);

/// Removes `path` if it exists.
void remove_file(const std::string& path);

/// Writes the support wiki that `Site` scans: wendrel, wendrel/installing
/// wendrel, wendrel/faq and a hidden drafts page.
void write_support_tree();

/// The "de-de" sub-site under "http://x", with the support tree scanned and
/// the targets the build would declare declared. Messages and page output
/// go to strings that each input's run starts empty.
///
/// One per process: the collator, the scanned tree and the link registry's
/// storage cost more to make than most inputs cost to run. The registry is
/// renewed every few thousand inputs (after a final check), which keeps its
/// memory bounded; nothing else carries from one input to the next.
class Site {
 public:
  static Site& shared();
  /// Starts the run of one input.
  void begin(bool support_page);

  StringSink messages;
  StringSink html;
  LinkRegistry links;  // the build's
  Build build;
  LangBuild lang;
  Page page;

 private:
  Site();
  void renew_links();
  int runs_ = 0;
};

/// The input as text.
inline std::string_view as_text(const uint8_t* data, size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

}  // namespace mt::fuzz
