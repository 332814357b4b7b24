#pragma once
// The translators' tasks, each run in the site's source folder instead of a
// build: --status, --accept, --export-po, --import-po.

#include <string>
#include <vector>

#include "diag/diagnostics.h"
#include "platform/sink.h"

namespace mt {

struct TranslateTask {
  enum class Kind { status, accept, export_po, import_po } kind = Kind::status;
  bool json = false;               // --status: JSON on standard output instead of messages
  std::string html_file;           // --status: also write this page
  bool strict = false;             // --status: exit status 2 when anything is missing or stale
  std::string lang;                // --accept, --export-po
  std::vector<std::string> items;  // --accept: only these
  std::string po_file;             // --export-po, --import-po
  std::string source_folder;       // the site's sources: "" for the working folder
};

/// Runs one task; returns the exit status.
int run_translate_task(const TranslateTask& task, Sink& out, Diagnostics& diag);

}  // namespace mt
