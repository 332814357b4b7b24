// The slug and id rules over any text, and a support page named by the
// input's first line (its whole text as the page) scanned and looked up the
// way links look pages up.

#include <algorithm>
#include <filesystem>

#include "fuzz_site.h"
#include "links/urls.h"
#include "markup/ids.h"
#include "support/tree.h"

using namespace mt;

namespace {

bool is_id_byte(unsigned char c) {
  return c >= 0x80 || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
}

/// A file name the platform takes, without being "." or "..".
bool usable_name(std::string_view name) {
  return !name.empty() && name.size() < 200 && name != "." && name != ".." &&
         name.find_first_of(std::string_view("/\0", 2)) == std::string_view::npos;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::enter_private_folder();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text = fuzz::as_text(data, size);

  // Ids hold id bytes only; path slugs may keep one '#' and turn '\' into '/'.
  const std::string id = heading_id(text);
  for (char c : id) {
    if (!is_id_byte(static_cast<unsigned char>(c))) __builtin_trap();
  }
  const std::string path = slug(text, false);
  if (path.size() > text.size() || std::count(path.begin(), path.end(), '#') > 1) __builtin_trap();
  for (char c : path) {
    if (!is_id_byte(static_cast<unsigned char>(c)) && c != '#' && c != '/') __builtin_trap();
  }

  // An id is taken once per page, whatever its letter case.
  StringSink messages;
  Diagnostics diag;
  diag.out = &messages;
  IdRegistry ids;
  std::string shouted = id;
  for (char& c : shouted) c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
  if (!ids.add(id, diag) || ids.add(shouted, diag) || messages.text != "id " + shouted + " already exists\n") {
    __builtin_trap();
  }

  const std::string_view name = text.substr(0, text.find('\n'));
  if (!usable_name(name)) return 0;
  std::filesystem::remove_all("support");
  fuzz::write_file("support/" + std::string(name) + ".txt", text);
  SupportTree tree;
  build_support_tree(tree, "support", fuzz::Site::shared().build.collator);
  for (size_t i = 0; i < tree.nodes().size(); ++i) {
    const SupportNode& node = tree.nodes()[i];
    if (tree.find_child(node.parent, node.name) < 0 || tree.find_child(node.parent, node.slug) < 0) __builtin_trap();
  }
  return 0;
}
