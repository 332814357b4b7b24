#include "links/urls.h"

#include "platform/text.h"
#include "site/records.h"

namespace mt {

namespace {

/// Maps a support path onto the support tree's slugs: the first non-empty
/// segment must name the support folder, every later one a node under the
/// previous. Any mismatch keeps the whole target as written.
std::string map_support_path(const LangBuild& lang, std::string_view target) {
  const std::string& folder = lang.str(SUPPORT_FOLDER);
  std::string out;
  out.reserve(target.size());
  bool first = true;
  int parent = -1;
  size_t i = 0;
  while (i < target.size()) {
    if (target[i] == '/') {
      out.push_back('/');
      ++i;
      continue;
    }
    if (target[i] == '#') {
      out.append(target.substr(i));
      return out;
    }
    size_t end = target.find_first_of("/#", i);
    if (end == std::string_view::npos) end = target.size();
    std::string_view segment = target.substr(i, end - i);
    if (first) {
      if (!equal_no_case(segment, folder)) return std::string(target);
      out += folder;
      first = false;
    } else {
      int node = lang.support.find_child(parent, segment);
      if (node < 0) return std::string(target);
      out += lang.support.nodes()[static_cast<size_t>(node)].slug;
      parent = node;
    }
    i = end;
  }
  return out;
}

}  // namespace

void apply_anchor_rule(std::string& url) {
  size_t hash = url.find('#');
  if (hash == std::string::npos) return;
  // Rewritten in place: the anchor never grows.
  size_t write = hash + 1;
  for (size_t read = hash + 1; read < url.size(); ++read) {
    char c = url[read];
    unsigned char u = static_cast<unsigned char>(c);
    if (u >= 0x80 || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_') {
      url[write++] = c;
    } else if (c >= 'A' && c <= 'Z') {
      url[write++] = fold(c);
    } else if (c == '\'') {
      // dropped
    } else if (url[write - 1] != '_' && url[write - 1] != '#') {
      url[write++] = '_';
    }
  }
  while (write > hash + 1 && url[write - 1] == '_') --write;
  url.resize(write);
}

UrlTarget resolve_target(const LangBuild& lang, std::string_view target) {
  std::string mapped = map_support_path(lang, target);
  UrlTarget resolved;
  if ((!mapped.empty() && mapped[0] == '/') || has_scheme(mapped)) {
    // Site-absolute paths get no URL root; scheme URLs stay as written.
    resolved.url = std::move(mapped);
  } else {
    if (mapped.find('.') != std::string::npos) resolved.file = mapped;
    resolved.url.reserve(lang.base_url.size() + 1 + mapped.size());
    resolved.url = lang.base_url;
    resolved.url += '/';
    resolved.url += mapped;
  }
  apply_anchor_rule(resolved.url);
  return resolved;
}

std::string template_page_url(const LangBuild& lang, int string_index) {
  std::string joined = lang.base_url;
  joined += '/';
  joined += lang.str(string_index);
  return cut_extension(joined);
}

std::string slug(std::string_view text, bool hash_seen) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    // Capital I with acute is the one non-ASCII letter that is lowered.
    if (c == 0xC3 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) == 0x8D) {
      out += "\xC3\xAD";
      ++i;
    } else if (c >= 0x80 || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_') {
      out.push_back(static_cast<char>(c));
    } else if (c >= 'A' && c <= 'Z') {
      out.push_back(fold(static_cast<char>(c)));
    } else if (c == '#' && !hash_seen) {
      out.push_back('#');
      hash_seen = true;
    } else if (c == '\'') {
      // Dropped, so "What's" reads "whats".
    } else if ((c == '/' || c == '\\') && !hash_seen) {
      out.push_back('/');
    } else if (!out.empty() && out.back() != '_' && out.back() != '#') {
      out.push_back('_');
    }
  }
  if (!out.empty() && out.back() == '_') out.pop_back();
  return out;
}

}  // namespace mt
