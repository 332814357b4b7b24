#pragma once
// Every URL the build writes is made here: link targets expanded against the
// language base URL, support paths mapped onto slugs, template page URLs, and
// the slug and anchor rules that ids and URLs share.

#include <string>
#include <string_view>

namespace mt {

struct LangBuild;

/// The URL of a link or image target: support paths mapped onto slugs,
/// relative targets under the language base URL (those holding a '.' listed
/// as referenced files when `effects`), the anchor rule applied.
std::string expand_url(LangBuild& lang, std::string_view target, bool effects = true);

/// Language base URL, "/", the template file name less its extension.
std::string template_page_url(const LangBuild& lang, int string_index);

/// The slug rule; `hash_seen` starts set for ids (so '#', '/' and '\' become
/// '_') and clear for paths.
std::string slug(std::string_view text, bool hash_seen);

/// Lowers the anchor after the first '#' of `url` into the form ids take.
void apply_anchor_rule(std::string& url);

}  // namespace mt
