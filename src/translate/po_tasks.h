#pragma once
// --export-po and --import-po.

#include "diag/diagnostics.h"
#include "translate/sources.h"
#include "translate/tasks.h"

namespace mt {

int export_po_task(const TranslateTask& task, const Sources& sources, Diagnostics& diag);
int import_po_task(const TranslateTask& task, const Sources& sources, Diagnostics& diag);

}  // namespace mt
