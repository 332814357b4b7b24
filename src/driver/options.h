#pragma once
// The options in front of the two arguments. Without any, the arguments go
// to the build exactly as given, so a plain build behaves as it always did.

#include <string>
#include <vector>

#include "site/build_config.h"

namespace mt {

struct Options {
  bool help = false;
  bool version = false;
  bool strict = false;       // exit 2 when the run reported an error or a warning
  bool prune = false;        // remove what the previous --prune run wrote and this one did not
  bool pedantic = false;     // the extra checks of --pedantic
  bool incremental = false;  // keep a build record; rebuild only the languages whose files changed
  bool serve = false;
  int port = 8080;
  bool port_given = false;
  bool init = false;
  std::string init_folder;
  // Translators' tasks: each builds nothing.
  bool status = false;       // --status
  bool json = false;         // --json (with --status)
  std::string html_file;     // --html FILE (with --status)
  std::string accept;        // --accept LANG; the operands name the items
  std::string export_po;     // --export-po LANG FILE: the language
  std::string po_file;       // the PO file of --export-po or --import-po
  bool import_po = false;    // --import-po FILE
  std::string changes_file;  // --changes: where the list of changed output files goes; "" when none
  // The site's sources, for builds and translators' tasks alike: "" for the
  // working folder. No option sets it; one would set it here.
  std::string source_folder;
  std::string bad;  // the option that is unknown or lacks a valid value; "" when none
  std::vector<std::string> operands;
};

/// Reads options up to the first argument that is not one, or up to "--".
Options parse_options(const std::vector<std::string>& args);

/// The build the options ask for, with the two operands (when given).
BuildConfig build_config(const Options& options);

}  // namespace mt
