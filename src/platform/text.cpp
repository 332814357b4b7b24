#include "platform/text.h"

#include <algorithm>

#include "platform/fs.h"
#include "platform/fs_native.h"

namespace mt {

std::string ascii_lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = fold(c);
  return out;
}

bool all_ascii(std::string_view text) {
  return std::none_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

bool starts_with_no_case(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && equal_no_case(text.substr(0, prefix.size()), prefix);
}

std::string replace_no_case(std::string_view text, std::string_view token, std::string_view replacement) {
  std::string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    if (!token.empty() && starts_with_no_case(text.substr(i), token)) {
      out.append(replacement);
      i += token.size();
    } else {
      out.push_back(text[i++]);
    }
  }
  return out;
}

std::string cut_extension(std::string_view text) {
  // Only the last component counts: a '.' in a folder name or in the host of
  // the URL root is not an extension.
  size_t component = text.find_last_of(native::kSeparators);
  size_t start = component == std::string_view::npos ? 0 : component + 1;
  size_t dot = text.rfind('.');
  if (dot == std::string_view::npos || dot < start) return std::string(text);
  return std::string(text.substr(0, dot));
}

bool leaves_folder(std::string_view path) {
  if (!path.empty() && (path[0] == '/' || path[0] == '\\')) return true;
  if (path.size() >= 2 && path[1] == ':' &&
      ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'))) {
    return true;
  }
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find_first_of("/\\", start);
    if (end == std::string_view::npos) end = path.size();
    if (path.substr(start, end - start) == "..") return true;
    start = end + 1;
  }
  return false;
}

bool script_safe_byte(char ch) {
  auto c = static_cast<unsigned char>(ch);
  return c >= 0x20 && c != 0x7F && c != '"' && c != '$' && c != '\\';
}

bool safe_in_script(std::string_view value) {
  for (char c : value) {
    if (!script_safe_byte(c)) return false;
  }
  return true;
}

bool has_scheme(std::string_view text) {
  size_t colon = text.find(':');
  if (colon == std::string_view::npos) return false;
  size_t slash = text.find('/');
  return slash == std::string_view::npos || colon < slash;
}

int edit_distance_no_case(std::string_view a, std::string_view b, int limit) {
  const size_t longer = std::max(a.size(), b.size());
  const size_t shorter = std::min(a.size(), b.size());
  if (longer - shorter > static_cast<size_t>(limit)) return limit + 1;
  // Three rows of the usual table: the swap of two neighbours looks two
  // rows back. Only the band of cells within `limit` of the diagonal can
  // stay within `limit`, so each row computes that band alone (the link
  // hints compare one link with every page of a site); cells beside the
  // band read as over the limit.
  const int over = limit + 1;
  const size_t band = static_cast<size_t>(limit);
  std::vector<int> before(b.size() + 1, over), previous(b.size() + 1, over), current(b.size() + 1, over);
  for (size_t j = 0; j <= std::min(b.size(), band); ++j) previous[j] = static_cast<int>(j);
  for (size_t i = 1; i <= a.size(); ++i) {
    const size_t low = i > band ? i - band : 1, high = std::min(b.size(), i + band);
    current[low - 1] = low == 1 && i <= band ? static_cast<int>(i) : over;
    if (high < b.size()) current[high + 1] = over;
    int row_best = current[low - 1];
    for (size_t j = low; j <= high; ++j) {
      const bool same = fold(a[i - 1]) == fold(b[j - 1]);
      int cost = std::min({previous[j] + 1, current[j - 1] + 1, previous[j - 1] + (same ? 0 : 1)});
      if (i > 1 && j > 1 && fold(a[i - 1]) == fold(b[j - 2]) && fold(a[i - 2]) == fold(b[j - 1])) {
        cost = std::min(cost, before[j - 2] + 1);
      }
      current[j] = std::min(cost, over);
      row_best = std::min(row_best, current[j]);
    }
    if (row_best > limit) return over;
    std::swap(before, previous);
    std::swap(previous, current);
  }
  return std::min(previous[b.size()], over);
}

std::string fill_slots(std::string_view text, std::initializer_list<Slot> slots) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  size_t i = 0;
  while (i < text.size()) {
    size_t stop = text.find_first_of("{\n", i);
    if (stop == std::string_view::npos) stop = text.size();
    out.append(text.substr(i, stop - i));
    i = stop;
    if (i == text.size()) break;
    if (text[i] == '\n') {
      out += "\r\n";
      ++i;
      continue;
    }
    const Slot* found = nullptr;
    for (const Slot& slot : slots) {
      if (text.compare(i, 2, "{{") == 0 && text.compare(i + 2, slot.name.size(), slot.name) == 0 &&
          text.compare(i + 2 + slot.name.size(), 2, "}}") == 0) {
        found = &slot;
      }
    }
    if (!found) {
      out += '{';
      ++i;
      continue;
    }
    out.append(found->value);
    i += found->name.size() + 4;
  }
  return out;
}

}  // namespace mt
