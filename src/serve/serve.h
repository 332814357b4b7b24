#pragma once
// The preview: build, serve on the loopback address, rebuild on changes.

#include <string>
#include <vector>

#include "driver/options.h"
#include "platform/sink.h"

namespace mt {

struct ServeOptions {
  std::string output_folder;
  int port = 8080;
  BuildConfig build;  // --strict, --prune, --pedantic for every build; serve sets the folder and URL root
};

/// Builds the site from the working folder into the output folder for the
/// URL root http://127.0.0.1:PORT, serves that folder there and builds
/// again whenever a source changes, until Ctrl-C. Returns the exit status:
/// 0 after Ctrl-C, 1 when the port is taken or the first build failed.
int serve(const ServeOptions& options, FileSink& out);

}  // namespace mt
