#pragma once
// The build run: command line, languages, one sub-site per language, the
// default language again at the root, the final link check.

#include <string>
#include <vector>

#include "driver/options.h"
#include "site/records.h"

namespace mt {

/// What a run tells a caller that goes on to serve the site.
struct RunReport {
  std::string error_page;      // folder of the root's 404 page, relative to the output; "" when none
  size_t changed_files = 0;    // files added, changed or removed: nothing to reload when 0
  size_t languages_taken = 0;  // language builds (the root's too) taken from the last build, not built
  size_t pages_taken = 0;      // pages of the languages built that were taken from the last build, not rendered
};

/// Runs the tool with the arguments after the program name, writing all
/// messages to `out`. Returns the exit status.
int run(const std::vector<std::string>& args, Sink& out, int (*year)() = nullptr, RunReport* result = nullptr);

/// The same with the options read already (--serve is the caller's).
int run(const Options& options, Sink& out, int (*year)() = nullptr, RunReport* result = nullptr);

struct KeptBuild;  // driver/kept_build.h

/// Builds the site from its source folder as `config` asks, writing the
/// build's messages (not the banner) to `out`: what the command line and the
/// preview both call. With `kept` (the preview), builds again only the
/// languages `kept->next` names when the rest can be taken from the previous
/// build, and keeps this build's parts there. Returns the exit status.
int build_site(const BuildConfig& config, Sink& out, int (*year)() = nullptr, RunReport* result = nullptr,
               KeptBuild* kept = nullptr);

/// Builds `language` into the output folder of `folder_code` (its own code),
/// or into the root when `folder_code` is "". With `parts` (the preview),
/// keeps each page's part there, and takes a page from the last build's
/// instead of rendering it when the edit left its source and what every
/// page of the language reads as they were.
void build_language(Build& build, const Language& language, const std::string& folder_code, PageParts* parts = nullptr);

}  // namespace mt
