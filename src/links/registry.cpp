#include "links/registry.h"

#include <algorithm>

#include "lang/text.h"
#include "platform/fs.h"

namespace mt {

std::string_view LinkRegistry::strip_root(std::string_view url) const {
  if (!url_root_.empty() && url.substr(0, url_root_.size()) == url_root_) url.remove_prefix(url_root_.size());
  return url;
}

void LinkRegistry::declare(std::string_view url, std::optional<std::string_view> anchor, bool twin) {
  // The twin, "/" after the URL, is part of the same entry.
  targets_.add(strip_root(url), anchor ? &*anchor : nullptr, twin);
}

void LinkRegistry::record(std::string_view source, int line, std::string_view url) {
  std::string_view relative = strip_root(url);
  if (has_scheme(relative)) return;
  if (relative.find('.') != std::string_view::npos) return;
  // A link whose target is known already can never be reported, since
  // targets are never withdrawn; only the others need keeping.
  if (known(relative)) return;
  pending_.push_back(Pending{std::string(file_name_of(source)), line, std::string(relative)});
}

bool LinkRegistry::known(std::string_view root_relative) const {
  return targets_.contains(root_relative);
}

void LinkRegistry::settle() {
  pending_.erase(std::remove_if(pending_.begin(), pending_.end(), [this](const Pending& p) { return known(p.url); }),
                 pending_.end());
}

void LinkRegistry::final_check(Diagnostics& diag) {
  for (const Pending& p : pending_) {
    if (!known(p.url)) diag.report({p.file_name, p.line}, Msg::broken_url, p.url);
  }
}

}  // namespace mt
