#pragma once
// The table of contents that a "__TOC__" line writes.

#include <string>
#include <string_view>
#include <vector>

#include "platform/sink.h"

namespace mt {

/// One listed heading: its source text as typed and the id it gets.
struct TocEntry {
  bool level2 = false;
  std::string_view shown;
  std::string id;
};

void write_toc(Sink& out, const std::vector<TocEntry>& entries);

}  // namespace mt
