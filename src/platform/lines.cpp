#include "platform/lines.h"

namespace mt {

namespace {

bool is_white(char c) { return c == ' ' || c == '\t' || c == '\r'; }

size_t skip_white(std::string_view line, size_t i) {
  while (i < line.size() && is_white(line[i])) ++i;
  return i;
}

}  // namespace

bool parse_key_line(std::string_view line, bool strict, KeyLine* parsed) {
  size_t i = skip_white(line, 0);
  size_t key_start = i;
  while (i < line.size() && !is_white(line[i]) && line[i] != '=') ++i;
  parsed->key = line.substr(key_start, i - key_start);
  i = skip_white(line, i);
  if ((strict && parsed->key.empty()) || i >= line.size() || line[i] != '=') return false;
  i = skip_white(line, i + 1);
  if (i >= line.size() || line[i] != '"') return false;
  ++i;
  size_t close = line.find('"', i);
  parsed->closed = close != std::string_view::npos;
  if (!parsed->closed) {
    if (strict) return false;
    close = line.size();
  }
  parsed->value = line.substr(i, close - i);
  return !strict || skip_white(line, close + 1) >= line.size();
}

}  // namespace mt
