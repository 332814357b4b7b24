// The string-link renderer and URL expansion over the fixed support tree.
// The first byte picks the root build (bit 0, empty code and URL part) and
// whether expansion lists files (bit 1); the rest is the text or target.

#include "fuzz_site.h"
#include "links/urls.h"
#include "markup/inline.h"

using namespace mt;

namespace {

bool is_anchor_byte(unsigned char c) {
  return c >= 0x80 || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::enter_private_folder();
  fuzz::write_support_tree();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::string_view text = fuzz::as_text(data + 1, size - 1);
  const bool effects = data[0] & 2;
  fuzz::Site& site = fuzz::Site::shared();
  site.begin(false);
  if (data[0] & 1) {
    site.lang.code.clear();
    site.lang.url_part.clear();
    site.lang.base_url = site.build.url_root;
  }

  // After the first '#' the anchor rule leaves only id bytes, never a
  // trailing '_'; a URL without '#' has none after expansion either.
  std::string url = expand_url(site.lang, text, effects);
  size_t hash = url.find('#');
  if ((hash == std::string::npos) != (text.find('#') == std::string_view::npos)) __builtin_trap();
  if (hash != std::string::npos) {
    for (size_t i = hash + 1; i < url.size(); ++i) {
      if (!is_anchor_byte(static_cast<unsigned char>(url[i]))) __builtin_trap();
    }
    if (url.back() == '_') __builtin_trap();
  }
  if (!effects && !site.lang.files.paths().empty()) __builtin_trap();

  // Text outside links passes unchanged.
  std::string rendered = render_string_links(site.build, site.lang, text);
  if (text.find("[[") == std::string_view::npos && rendered != text) __builtin_trap();

  return 0;
}
