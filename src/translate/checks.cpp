#include "translate/checks.h"

#include <algorithm>
#include <cctype>
#include <iterator>
#include <string>
#include <vector>

#include "platform/text.h"

namespace mt {

namespace {

using Tokens = std::vector<std::string>;

// Every "{{...}}" placeholder or macro, in order.
Tokens placeholders(std::string_view text) {
  Tokens out;
  for (size_t at = text.find("{{"); at != std::string_view::npos; at = text.find("{{", at + 2)) {
    const size_t end = text.find("}}", at + 2);
    if (end == std::string_view::npos) break;
    out.emplace_back(text.substr(at, end + 2 - at));
  }
  return out;
}

// The target of every "[[target|text]]" link, in order; the text may change.
// Support pages and anchors are named in each language's own words (their
// slugs and headings), so only the other targets must stay: files, the
// other pages, addresses.
Tokens link_targets(std::string_view text) {
  Tokens out;
  for (size_t at = text.find("[["); at != std::string_view::npos; at = text.find("[[", at + 2)) {
    const size_t end = text.find("]]", at + 2);
    if (end == std::string_view::npos) break;
    std::string_view target = text.substr(at + 2, end - at - 2);
    target = target.substr(0, target.find('|'));
    target = target.substr(0, target.find('#'));
    if (target.empty() || starts_with_no_case(target, "support/")) continue;
    out.emplace_back(target);
  }
  return out;
}

// Every HTML tag name with its '/', sorted: a translation may reorder them.
Tokens tags(std::string_view text) {
  Tokens out;
  for (size_t at = text.find('<'); at != std::string_view::npos; at = text.find('<', at + 1)) {
    size_t i = at + 1 + (at + 1 < text.size() && text[at + 1] == '/' ? 1 : 0);
    size_t start = i;
    while (i < text.size() && std::isalnum(static_cast<unsigned char>(text[i]))) ++i;
    if (i > start) out.push_back(std::string(text.substr(at, i - at)) + ">");
  }
  std::sort(out.begin(), out.end());
  return out;
}

// Which emphasis a text leaves open at its end: bit 1 bold, bit 2 italic,
// toggled as the renderer toggles them (longest run of quotes first).
int open_emphasis(std::string_view text) {
  int open = 0;
  for (size_t i = 0; i < text.size();) {
    if (text.substr(i, 5) == "'''''") {
      open ^= 3, i += 5;
    } else if (text.substr(i, 3) == "'''") {
      open ^= 1, i += 3;
    } else if (text.substr(i, 2) == "''") {
      open ^= 2, i += 2;
    } else {
      ++i;
    }
  }
  return open;
}

std::string joined(const Tokens& tokens) {
  std::string out;
  for (const std::string& t : tokens) out += (out.empty() ? "" : " ") + t;
  return out.empty() ? "(none)" : out;
}

// The first token of `a` that `b` lacks (counting repeats), or "".
std::string first_lacking(Tokens a, Tokens b) {
  std::sort(a.begin(), a.end());
  std::sort(b.begin(), b.end());
  Tokens diff;
  std::set_difference(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(diff));
  return diff.empty() ? std::string() : diff.front();
}

size_t code_points(std::string_view text) {
  return static_cast<size_t>(std::count_if(text.begin(), text.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

bool is_blank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

size_t length_limit(std::string_view id) {
  // Menu items share one row of the frame; buttons hold their text on one line.
  static constexpr std::string_view kMenu[] = {"HOME", "DOWNLOADS", "FAQ", "SUPPORT", "FORUMS", "DONATE", "CONTACT"};
  static constexpr std::string_view kButtons[] = {"DOWNLOAD_INSTALLER",    "DOWNLOAD_INSTALLER_X64",
                                                  "DOWNLOAD_PORTABLE_ZIP", "DOWNLOAD_PORTABLE_ZIP_X64",
                                                  "DONATE_FORM_DONATE",    "CONTACT_FORM_SEND"};
  if (std::find(std::begin(kMenu), std::end(kMenu), id) != std::end(kMenu)) return 20;
  if (std::find(std::begin(kButtons), std::end(kButtons), id) != std::end(kButtons)) return 50;
  return 0;
}

void check_translation(Diagnostics& diag, Where at, std::string_view item, std::string_view source,
                       std::string_view translation) {
  const Tokens src_ph = placeholders(source), tr_ph = placeholders(translation);
  if (std::string t = first_lacking(src_ph, tr_ph); !t.empty())
    diag.report(at, Msg::check_placeholder_missing, item, t);
  if (std::string t = first_lacking(tr_ph, src_ph); !t.empty()) diag.report(at, Msg::check_placeholder_added, item, t);
  const Tokens src_links = link_targets(source), tr_links = link_targets(translation);
  if (src_links != tr_links) diag.report(at, Msg::check_link_changed, item, joined(tr_links), joined(src_links));
  const Tokens src_tags = tags(source), tr_tags = tags(translation);
  if (src_tags != tr_tags) diag.report(at, Msg::check_tags, item, joined(tr_tags), joined(src_tags));
  const int open = open_emphasis(translation) & ~open_emphasis(source);
  if (open & 1) diag.report(at, Msg::check_emphasis, item, "bold '''");
  if (open & 2) diag.report(at, Msg::check_emphasis, item, "italic ''");
  auto lead = [](std::string_view s) { return s.substr(0, s.find_first_not_of(" \t")); };
  auto trail = [](std::string_view s) {
    size_t n = 0;
    while (n < s.size() && is_blank(s[s.size() - 1 - n])) ++n;
    return s.substr(s.size() - n);
  };
  if (lead(source) != lead(translation) || trail(source) != trail(translation)) {
    diag.report(at, Msg::check_blanks, item);
  }
  const size_t limit = length_limit(item);
  if (limit > 0 && code_points(translation) > limit) {
    diag.report(at, Msg::check_length, item, code_points(translation), limit);
  }
}

}  // namespace mt
