#pragma once
// One page per support node: wiki layout, navigation column, converted text.

#include <string>

#include "site/records.h"

namespace mt {

void write_support_pages(Build& build, LangBuild& lang, const std::string& support_source_folder);

}  // namespace mt
