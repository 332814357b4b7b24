#pragma once
// The three ways --status shows a Status: messages, JSON and a page.

#include <string>

#include "diag/diagnostics.h"
#include "platform/sink.h"
#include "translate/status.h"

namespace mt {

/// One line per language and per item, then the totals, as messages.
void report_status_text(const Status& status, Diagnostics& diag);

/// The same as one JSON document (shape in docs/reference/translating.md).
void write_status_json(const Status& status, Sink& out);

/// A self-contained page: one row per language with its completeness as a
/// bar, and the lists.
void write_status_html(const Status& status, Sink& out);

}  // namespace mt
