#pragma once
// The preview's HTTP server: serves the output folder on 127.0.0.1 to
// requests for this machine's own names, and tells open pages, through an
// event stream, when a rebuild finished.

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>

namespace mt {

/// What the server's threads and the rebuild loop share.
struct ServedSite {
  std::string root;    // the output folder after following links
  std::string folder;  // the output folder as given, for messages
  int port = 0;
  std::mutex mutex;  // guards the fields below
  std::condition_variable changed;
  unsigned build = 1;      // number of the latest finished build
  std::string error_page;  // the root's 404 page folder, relative to root
  unsigned streams = 0;    // event streams open now
  bool stopping = false;
};

class PreviewServer {
 public:
  explicit PreviewServer(ServedSite& site);
  ~PreviewServer();
  PreviewServer(const PreviewServer&) = delete;
  PreviewServer& operator=(const PreviewServer&) = delete;

  /// Whether this build of the tool can serve at all (it needs the HTTP
  /// library, which not every platform's build has).
  static bool available();
  /// Takes the site's port on 127.0.0.1 only; false when it is in use.
  bool bind();
  /// Answers requests on a thread of its own until `stop`.
  void start();
  /// Ends open event streams and the server, and waits for its threads.
  void stop();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace mt
