#include "site/language_tags.h"

#include <vector>

#include "platform/names.h"

namespace mt {

namespace {

bool all_of(std::string_view text, bool (*test)(char)) {
  for (char c : text) {
    if (!test(c)) return false;
  }
  return true;
}
bool is_alpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool is_alnum(char c) { return is_alpha(c) || is_digit(c); }

std::string upper(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

std::string lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = fold(c);
  return out;
}

std::vector<std::string_view> subtags(std::string_view code) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  for (size_t i = 0; i <= code.size(); ++i) {
    if (i == code.size() || code[i] == '-') {
      parts.push_back(code.substr(start, i - start));
      start = i + 1;
    }
  }
  return parts;
}

bool is_variant(std::string_view s) {
  return (s.size() >= 5 && s.size() <= 8 && all_of(s, is_alnum)) ||
         (s.size() == 4 && is_digit(s[0]) && all_of(s, is_alnum));
}

}  // namespace

std::string language_tag(std::string_view code) {
  const std::vector<std::string_view> parts = subtags(code);
  std::string_view first = parts[0];
  // Languages of 5-8 letters are reserved and none is registered: a code
  // such as "english" is a name, not a tag.
  if (first.size() < 2 || first.size() > 3 || !all_of(first, is_alpha)) return {};
  std::string tag = lower(first);
  size_t i = 1;
  // Script, region and variants in this order, each at most once but variants.
  if (i < parts.size() && parts[i].size() == 4 && all_of(parts[i], is_alpha)) {
    tag += '-' + upper(parts[i].substr(0, 1)) + lower(parts[i].substr(1));
    ++i;
  }
  if (i < parts.size() &&
      ((parts[i].size() == 2 && all_of(parts[i], is_alpha)) || (parts[i].size() == 3 && all_of(parts[i], is_digit)))) {
    tag += '-' + upper(parts[i]);
    ++i;
  }
  for (; i < parts.size(); ++i) {
    if (!is_variant(parts[i])) return {};
    tag += '-' + lower(parts[i]);
  }
  return tag;
}

std::string language_tag(std::string_view code, std::string_view overrides) {
  size_t i = 0;
  while (i < overrides.size()) {
    while (i < overrides.size() && (overrides[i] == ' ' || overrides[i] == '\t')) ++i;
    size_t end = overrides.find_first_of(" \t", i);
    if (end == std::string_view::npos) end = overrides.size();
    std::string_view pair = overrides.substr(i, end - i);
    i = end;
    size_t eq = pair.find('=');
    if (eq != std::string_view::npos && equal_no_case(pair.substr(0, eq), code)) {
      return language_tag(pair.substr(eq + 1));
    }
  }
  return language_tag(code);
}

}  // namespace mt
