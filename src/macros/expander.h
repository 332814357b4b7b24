#pragma once
// Macro lines ("{{NAME}}"): named generated blocks written into the page.

#include <string_view>

#include "markup/inline.h"
#include "site/records.h"

namespace mt {

/// The sources outside the language folders that pages read, ASCII-lowered:
/// the tables and the shared page text.
inline constexpr std::string_view kSharedPageSources[] = {"donations.csv", "supported_languages.csv",
                                                          "previous_stable_releases.csv", "{{previous_versions}}.txt"};

/// Writes the block of macro `name` (compared whole, without ASCII case)
/// into the page; an unknown name writes nothing. `where` is the macro line,
/// named by the message of a text that includes itself (a missing release
/// file is reported by its name alone, and the links of generated text
/// under "expand_url").
void expand_macro(Build& build, LangBuild& lang, Page& page, std::string_view name, const LineSource& where);

}  // namespace mt
