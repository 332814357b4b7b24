#include "site/referenced.h"

#include "platform/fs.h"
#include "platform/text.h"

namespace mt {

void ReferencedFiles::add(std::string_view path) {
  std::string native(path);
  for (char& c : native) {
    if (c == '/') c = kSep;
  }
  if (seen_.insert(ascii_lower(native)).second) paths_.push_back(std::move(native));
}

}  // namespace mt
