#pragma once
// Every URL the build writes is made here: link targets expanded against the
// language base URL, support paths mapped onto slugs, template page URLs, and
// the slug and anchor rules that ids and URLs share.

#include <string>
#include <string_view>

namespace mt {

struct LangBuild;

/// What a link or image target refers to.
struct UrlTarget {
  std::string url;
  // A relative target holding a '.' names a file of the language source
  // folder ('/' between parts) that the build copies; empty for any other.
  std::string file;
};

/// The URL of a link or image target: support paths mapped onto slugs,
/// relative targets under the language base URL, the anchor rule applied.
/// Computes only; whoever writes the URL records the link and the file.
UrlTarget resolve_target(const LangBuild& lang, std::string_view target);

/// Language base URL, "/", the template file name less its extension.
std::string template_page_url(const LangBuild& lang, int string_index);

/// The slug rule; `hash_seen` starts set for ids (so '#', '/' and '\' become
/// '_') and clear for paths.
std::string slug(std::string_view text, bool hash_seen);

/// Lowers the anchor after the first '#' of `url` into the form ids take.
void apply_anchor_rule(std::string& url);

}  // namespace mt
