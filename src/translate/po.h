#pragma once
// gettext PO files: the small part of the format that translation tools
// write, read and written here (no plural forms; obsolete "#~" entries are
// skipped). Debian's PO library has no Windows build, so the reader is our
// own; the tests hold its output to msgfmt --check.

#include <string>
#include <string_view>
#include <vector>

namespace mt {

struct PoEntry {
  std::vector<std::string> references;  // "#: file:line" comments
  bool fuzzy = false;
  std::string context;  // msgctxt
  std::string id;       // msgid; "" for the header
  std::string str;      // msgstr
  int line = 0;         // of its msgid, in the file read
};

/// Appends one entry in the usual layout, each string on one line.
void append_po_entry(std::string& out, const PoEntry& entry);

/// A quoted PO string: backslash, quote, tab, CR and LF escaped.
std::string po_quoted(std::string_view text);

/// Reads a PO file; false with `*error` and `*error_line` set when it does
/// not parse. The header (msgid "") is the first entry when present.
bool parse_po(std::string_view text, std::vector<PoEntry>* entries, std::string* error, int* error_line);

/// The value of a header field ("Language"), "" when absent.
std::string po_header_field(std::string_view header, std::string_view field);

}  // namespace mt
