#include "serve/serve.h"

#include <chrono>
#include <string>
#include <vector>

#include "diag/diagnostics.h"
#include "driver/build.h"
#include "driver/kept_build.h"
#include "platform/served_files.h"
#include "platform/signals.h"
#include "platform/watch.h"
#include "serve/server.h"

namespace mt {

namespace {

// How often the loop looks at Ctrl-C while nothing changes.
constexpr int kIdleMs = 200;
// Saving one file often means several changes (a temporary file, a rename,
// an editor's backup), all within a few milliseconds; they make one build
// once this much time passes without another, or at the latest after
// kBurstLimit. A save split in two only costs a second build.
constexpr int kQuietMs = 60;
constexpr auto kBurstLimit = std::chrono::seconds(2);

/// Builds the site; true when the run completed (whatever it reported).
/// `*changed` tells whether any output file changed.
bool rebuild(ServedSite& site, const BuildConfig& config, KeptBuild& kept, Sink& out, bool* changed = nullptr) {
  RunReport result;
  // Every build is announced as a run of the tool would be.
  Diagnostics{&out}.report({}, Msg::banner);
  const int status = build_site(config, out, nullptr, &result, &kept);
  // --strict's status 2 still leaves a site to serve.
  if (status == 1) return false;
  if (changed) *changed = result.changed_files > 0;
  std::lock_guard<std::mutex> lock(site.mutex);
  site.error_page = result.error_page;
  return true;
}

/// Waits out a burst of changes; false when Ctrl-C came meanwhile.
bool settle(FolderWatch& watch) {
  const auto start = std::chrono::steady_clock::now();
  while (watch.wait(kQuietMs)) {
    if (interrupted()) return false;
    if (std::chrono::steady_clock::now() - start > kBurstLimit) break;
  }
  return !interrupted();
}

/// Builds again what the changes the watch saw feed, tells the open pages
/// when a file changed and says how long it took.
void rebuild_changed(ServedSite& site, const BuildConfig& config, KeptBuild& kept, FolderWatch& watch, FileSink& out) {
  Diagnostics diag{&out};
  kept.next = scope_of(watch.take_changes());
  const auto start = std::chrono::steady_clock::now();
  bool changed = false;
  const bool built = rebuild(site, config, kept, out, &changed);
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  StringSink seconds;
  seconds.printf("%.3f", took.count());
  // A save that changes no output file (a comment, a string no page
  // uses) leaves the open pages as they are.
  if (built && !changed) diag.report({}, Msg::rebuilt_unchanged, seconds.text);
  if (built && changed) {
    {
      std::lock_guard<std::mutex> lock(site.mutex);
      ++site.build;
    }
    site.changed.notify_all();
    diag.report({}, Msg::rebuilt, seconds.text);
  }
  out.flush();
}

}  // namespace

int serve(const ServeOptions& options, FileSink& out) {
  Diagnostics diag;
  diag.out = &out;
  ServedSite site;
  site.folder = options.output_folder;
  site.port = options.port;
  const std::string url_root = "http://127.0.0.1:" + std::to_string(options.port);

  if (!PreviewServer::available()) {
    diag.report({}, Msg::serve_unavailable);
    out.flush();
    return 1;
  }
  PreviewServer server(site);
  // The port is taken before the build, so a second preview started by
  // mistake fails at once and leaves the output alone.
  if (!server.bind()) {
    diag.report({}, Msg::serve_port_taken, options.port);
    out.flush();
    return 1;
  }
  catch_interrupts();

  BuildConfig config = options.build;
  config.output_root = site.folder;
  config.url_root = url_root;
  KeptBuild kept;
  if (!rebuild(site, config, kept, out)) {
    out.flush();
    return 1;
  }
  site.root = canonical_folder(site.folder);
  server.start();
  diag.report({}, Msg::serving, url_root);
  out.flush();

  // Every build opens its own root; the preview watches the same folder.
  std::unique_ptr<FolderWatch> watch =
      watch_folder(config.source_folder.empty() ? "." : config.source_folder, site.folder);
  while (!interrupted()) {
    if (watch->wait(kIdleMs) && settle(*watch)) rebuild_changed(site, config, kept, *watch, out);
  }

  server.stop();
  watch.reset();
  diag.report({}, Msg::stopped);
  out.flush();
  return 0;
}

}  // namespace mt
