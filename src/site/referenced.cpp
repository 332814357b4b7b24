#include "site/referenced.h"

#include "platform/fs.h"
#include "platform/text.h"

namespace mt {

void ReferencedFiles::add(std::string_view path) {
  if (log_) log_->emplace_back(path);
  std::string generic = generic_path(path);
  if (seen_.insert(ascii_lower(generic)).second) paths_.push_back(std::move(generic));
}

}  // namespace mt
