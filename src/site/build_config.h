#pragma once
// What one build is asked to do: the command line's part, which the preview
// hands to every build it runs.

#include <string>

namespace mt {

/// What one build is asked to do; read only while it runs.
struct BuildConfig {
  // The site's source folder, which every source is read from: "" for the
  // working folder.
  std::string source_folder;
  std::string output_root;
  std::string url_root;  // as given: no slash added or removed
  bool strict = false;
  bool prune = false;
  bool pedantic = false;
  std::string changes_file;  // --changes: where to list what changed, or ""
  // --incremental: read the record the last build left in the output folder
  // and build again only the languages whose sources or output files
  // changed since; write the record for the next.
  bool incremental = false;
  // Language builds run at once: 0 for one per core; 1 builds one language
  // after the other (the tests compare the two).
  int threads = 0;
};

}  // namespace mt
