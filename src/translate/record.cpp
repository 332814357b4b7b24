#include "translate/record.h"

#include <cstring>

#include "platform/fs.h"
#include "platform/sink.h"

namespace mt {

namespace {

bool parse_hash(std::string_view text, uint64_t* hash) {
  if (text.size() != 16) return false;
  uint64_t value = 0;
  for (char c : text) {
    int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
    if (digit < 0) return false;
    value = value << 4 | static_cast<uint64_t>(digit);
  }
  *hash = value;
  return true;
}

}  // namespace

AcceptRecord parse_record(std::string_view text) {
  AcceptRecord record;
  while (!text.empty()) {
    size_t nl = text.find('\n');
    std::string_view line = text.substr(0, nl);
    text = nl == std::string_view::npos ? std::string_view() : text.substr(nl + 1);
    if (line.ends_with('\r')) line.remove_suffix(1);
    size_t a = line.find(' ');
    if (line.empty() || line[0] == '#' || a == std::string_view::npos) continue;
    size_t b = line.find(' ', a + 1);
    uint64_t hash = 0;
    if (b == std::string_view::npos || b + 1 >= line.size() || !parse_hash(line.substr(a + 1, b - a - 1), &hash)) {
      continue;
    }
    record[std::string(line.substr(0, a))][std::string(line.substr(b + 1))] = hash;
  }
  return record;
}

std::string format_record(const AcceptRecord& record) {
  std::string text = "# maketarnwick translations: language, hash of the default-language text accepted, item\n";
  char hex[17];
  for (const auto& [code, items] : record) {
    for (const auto& [item, hash] : items) {
      std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
      text += code + " " + hex + " " + item + "\n";
    }
  }
  return text;
}

AcceptRecord read_record(const SourceRoot& root) {
  std::string text;
  if (!root.read_file(kRecordName, &text)) return {};
  return parse_record(text);
}

bool write_record(const SourceRoot& root, const AcceptRecord& record, Diagnostics& diag) {
  FileSink out;
  if (out.open(root.path_of(kRecordName))) out.write(format_record(record));
  if (out.close()) return true;
  diag.report({kRecordName}, Msg::write_failed, PathArg{kRecordName}, error_text(out.error()));
  return false;
}

}  // namespace mt
