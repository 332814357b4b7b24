#pragma once
// Macro lines ("{{NAME}}"): named generated blocks written into the page.

#include <string_view>

#include "driver/records.h"
#include "markup/inline.h"

namespace mt {

/// Writes the block of macro `name` (compared whole, without ASCII case)
/// into the page; an unknown name writes nothing. `where` is the macro line,
/// for the one message a macro can cause itself.
void expand_macro(Build& build, LangBuild& lang, Page& page, std::string_view name, const LineSource& where);

}  // namespace mt
