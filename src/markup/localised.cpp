#include "markup/localised.h"

#include "markup/inline.h"
#include "platform/text.h"

namespace mt {

std::string localised_text(Build& build, LangBuild& lang, int index, std::string_view token,
                           std::string_view replacement) {
  const std::string& value = lang.str(index);
  // Links are rendered after the replacement, so a placeholder may stand
  // inside a link target ("[[{{CHANGES}}|Changes]]").
  if (token.empty()) return render_string_links(build, lang, value);
  return render_string_links(build, lang, replace_no_case(value, token, replacement));
}

UrlTarget menu_target(const LangBuild& lang, MenuItem item) {
  switch (item) {
    case kMenuHome: return {lang.base_url + "/", {}};
    case kMenuSupport: return resolve_target(lang, lang.str(SUPPORT_URL));
    case kMenuForums: {
      // The expansion comes first so that a language can embed the forum's
      // address in a longer value of its own.
      const std::string forum = resolve_target(lang, "/forum").url;
      return {replace_no_case(lang.str(FORUMS_URL), "{{FORUMS_URL}}", forum), {}};
    }
    case kNoMenuItem:
    case kMenuItems: return {};
    default: return {template_page_url(lang, kMenu[item].template_index), {}};
  }
}

}  // namespace mt
