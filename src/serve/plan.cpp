#include "serve/plan.h"

#include "platform/names.h"
#include "platform/text.h"

namespace mt {

RebuildScope scope_of(const WatchChanges& changes) {
  RebuildScope scope;
  if (changes.all || changes.paths.empty()) return scope;
  for (const std::string& path : changes.paths) {
    const size_t slash = path.find('/');
    const std::string top = ascii_lower(path.substr(0, slash));
    // A file of the working folder is a language file when it ends in .txt
    // (its code is its name up to the first '.'), except the shared page
    // text; every other one is read by all languages, or by none.
    if (slash == std::string::npos && (!has_txt_extension(top) || top.starts_with("{{"))) return scope;
    const std::string code = slash == std::string::npos ? top.substr(0, top.find('.')) : top;
    if (code.empty()) return scope;
    scope.codes.insert(code);
  }
  scope.all = false;
  return scope;
}

}  // namespace mt
