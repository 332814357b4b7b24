#include "translate/po.h"

#include "platform/lines.h"

namespace mt {

namespace {

// The parse of one file: the entry being read and which string a
// continuation line ("...") adds to.
struct PoReader {
  std::vector<PoEntry>& entries;
  PoEntry entry;
  std::string* target = nullptr;
  bool has_id = false, has_str = false;
  std::string dropped;  // strings of plural forms, read and let go
  std::string error;

  void finish() {
    if (has_id && has_str) entries.push_back(std::move(entry));
    entry = PoEntry{};
    target = nullptr;
    has_id = has_str = false;
  }
};

bool unescape(std::string_view quoted, std::string* out, std::string* error) {
  if (quoted.size() < 2 || quoted.front() != '"' || quoted.back() != '"') {
    *error = "expected a quoted string";
    return false;
  }
  quoted = quoted.substr(1, quoted.size() - 2);
  for (size_t i = 0; i < quoted.size(); ++i) {
    char c = quoted[i];
    if (c == '"') {
      *error = "unescaped quote";
      return false;
    }
    if (c != '\\') {
      *out += c;
      continue;
    }
    if (++i == quoted.size()) {
      *error = "backslash at the end of a string";
      return false;
    }
    switch (quoted[i]) {
      case 'n': *out += '\n'; break;
      case 't': *out += '\t'; break;
      case 'r': *out += '\r'; break;
      case '"': *out += '"'; break;
      case '\\': *out += '\\'; break;
      default: *error = "unknown escape"; return false;
    }
  }
  return true;
}

std::string_view trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

void comment_line(PoReader& r, std::string_view line) {
  // "#~" lines are entries a tool keeps for later: never imported.
  if (line.starts_with("#:")) {
    r.entry.references.emplace_back(trim(line.substr(2)));
  } else if (line.starts_with("#,") && line.find("fuzzy") != std::string_view::npos) {
    r.entry.fuzzy = true;
  }
}

bool keyword_line(PoReader& r, std::string_view line, int number) {
  size_t space = line.find_first_of(" \t");
  std::string_view word = line.substr(0, space);
  std::string_view rest = space == std::string_view::npos ? std::string_view() : trim(line.substr(space));
  if ((word == "msgctxt" || word == "msgid") && r.has_str) r.finish();
  if (word == "msgctxt" && !r.has_id) {
    r.target = &r.entry.context;
  } else if (word == "msgid" && !r.has_id) {
    r.has_id = true;
    r.entry.line = number;
    r.target = &r.entry.id;
  } else if ((word == "msgstr" || word == "msgstr[0]") && r.has_id && !r.has_str) {
    r.has_str = true;
    r.target = &r.entry.str;
  } else if ((word == "msgid_plural" || word.starts_with("msgstr[")) && r.has_id) {
    r.dropped.clear();
    r.target = &r.dropped;
  } else {
    r.error = "unexpected " + std::string(word.substr(0, 40));
    return false;
  }
  return unescape(rest, r.target, &r.error);
}

}  // namespace

std::string po_quoted(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '"': out += "\\\""; break;
      case '\n': out += "\\n"; break;
      case '\t': out += "\\t"; break;
      case '\r': out += "\\r"; break;
      default: out += c;
    }
  }
  return out + "\"";
}

namespace {

// A string holding line breaks is written one line of it per PO line, as
// the tools write it.
void append_po_string(std::string& out, const char* keyword, std::string_view text) {
  out += keyword;
  const size_t nl = text.find('\n');
  if (nl == std::string_view::npos || (nl + 1 == text.size() && text.size() < 70)) {
    // Appended piece by piece: GCC 12 at -O3 warns (falsely) on " " + string.
    out += ' ';
    out += po_quoted(text);
    out += '\n';
    return;
  }
  out += " \"\"\n";
  while (!text.empty()) {
    const size_t cut = text.find('\n');
    const size_t n = cut == std::string_view::npos ? text.size() : cut + 1;
    out += po_quoted(text.substr(0, n)) + "\n";
    text.remove_prefix(n);
  }
}

}  // namespace

void append_po_entry(std::string& out, const PoEntry& e) {
  for (const std::string& ref : e.references) out += "#: " + ref + "\n";
  if (e.fuzzy) out += "#, fuzzy\n";
  if (!e.context.empty()) append_po_string(out, "msgctxt", e.context);
  append_po_string(out, "msgid", e.id);
  append_po_string(out, "msgstr", e.str);
  out += "\n";
}

bool parse_po(std::string_view text, std::vector<PoEntry>* entries, std::string* error, int* error_line) {
  PoReader r{*entries, {}, nullptr, false, false, {}, {}};
  if (text.starts_with(kByteOrderMark)) text.remove_prefix(kByteOrderMark.size());
  int number = 0;
  while (!text.empty()) {
    ++number;
    size_t nl = text.find('\n');
    std::string_view line = trim(text.substr(0, nl));
    text = nl == std::string_view::npos ? std::string_view() : text.substr(nl + 1);
    bool ok = true;
    if (line.empty()) {
      if (r.has_str) r.finish();
    } else if (line[0] == '#') {
      if (r.has_str) r.finish();
      comment_line(r, line);
    } else if (line[0] == '"') {
      r.error = "a string outside an entry";
      ok = r.target && unescape(line, r.target, &r.error);
    } else {
      ok = keyword_line(r, line, number);
    }
    if (!ok) {
      *error = r.error;
      *error_line = number;
      return false;
    }
  }
  r.finish();
  return true;
}

std::string po_header_field(std::string_view header, std::string_view field) {
  while (!header.empty()) {
    size_t nl = header.find('\n');
    std::string_view line = header.substr(0, nl);
    header = nl == std::string_view::npos ? std::string_view() : header.substr(nl + 1);
    if (line.size() > field.size() && line.starts_with(field) && line[field.size()] == ':') {
      return std::string(trim(line.substr(field.size() + 1)));
    }
  }
  return {};
}

}  // namespace mt
