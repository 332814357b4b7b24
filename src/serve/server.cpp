#include "serve/server.h"

#ifdef MT_HAVE_HTTPLIB

#include <httplib.h>

#include <chrono>
#include <optional>
#include <thread>

#include "platform/served_files.h"
#include "platform/sockets.h"
#include "platform/text.h"
#include "serve/responses.h"

namespace mt {

namespace {

// Each open page holds one thread with its event stream; the library's
// default of a few threads would let a handful of tabs stall every other
// request.
constexpr size_t kThreads = 32;
// An event stream whose page is gone is noticed only when a write fails:
// a comment line this often lets such a thread go.
constexpr auto kKeepAlive = std::chrono::seconds(10);

void answer_file(ServedSite& site, const std::string& path, httplib::Response& res) {
  // A preview must show the latest build; nothing may be taken from a cache.
  res.set_header("Cache-Control", "no-store");
  unsigned build = 0;
  std::string error_page;
  {
    std::lock_guard<std::mutex> lock(site.mutex);
    build = site.build;
    error_page = site.error_page;
  }
  std::string contents;
  std::string name;
  const std::optional<std::string> relative = served_relative_path(path);
  if (relative && read_served_file(site.root, *relative, &contents, &name)) {
    if (equal_no_case(name, "sendemail.php")) {
      res.status = 501;
      res.set_content(php_needed_page(site.port, site.folder), "text/html; charset=utf-8");
      return;
    }
    const std::string type(content_type_for(name));
    if (starts_with_no_case(type, "text/html")) contents = with_reload_script(std::move(contents), build);
    res.set_content(contents, type);
    return;
  }
  res.status = 404;
  if (!error_page.empty() && read_served_file(site.root, error_page, &contents, &name)) {
    res.set_content(with_reload_script(std::move(contents), build), "text/html; charset=utf-8");
  } else {
    res.set_content("not found\n", "text/plain; charset=utf-8");
  }
}

void answer_events(ServedSite& site, httplib::Response& res) {
  res.set_header("Cache-Control", "no-store");
  std::optional<unsigned> sent;
  res.set_chunked_content_provider("text/event-stream", [&site, sent](size_t, httplib::DataSink& sink) mutable {
    std::unique_lock<std::mutex> lock(site.mutex);
    if (sent) site.changed.wait_for(lock, kKeepAlive, [&] { return site.stopping || site.build != *sent; });
    if (site.stopping) return false;
    const unsigned build = site.build;
    lock.unlock();
    const std::string message = sent == build ? std::string(":\n\n") : build_event(build);
    sent = build;
    return sink.write(message.data(), message.size());
  });
}

}  // namespace

struct PreviewServer::Impl {
  ServedSite& site;
  httplib::Server server;
  std::thread thread;
};

PreviewServer::PreviewServer(ServedSite& site) : impl_(new Impl{site, {}, {}}) {
  httplib::Server& server = impl_->server;
  server.new_task_queue = [] { return new httplib::ThreadPool(kThreads); };
  // Idle connections are let go soon, so Ctrl-C does not wait for them.
  server.set_keep_alive_timeout(1);
  // The library's default options let a second server share the port.
  server.set_socket_options([](socket_t socket) { own_port_alone(static_cast<std::uintptr_t>(socket)); });
  server.Get(std::string(kEventsPath),
             [&site](const httplib::Request&, httplib::Response& res) { answer_events(site, res); });
  server.Get(".*", [&site](const httplib::Request& req, httplib::Response& res) { answer_file(site, req.path, res); });
  // The contact form posts to its script; every other post finds nothing.
  server.Post(".*", [&site](const httplib::Request& req, httplib::Response& res) { answer_file(site, req.path, res); });
}

PreviewServer::~PreviewServer() { stop(); }

bool PreviewServer::available() { return true; }

bool PreviewServer::bind() { return impl_->server.bind_to_port("127.0.0.1", impl_->site.port); }

void PreviewServer::start() {
  impl_->thread = std::thread([this] { impl_->server.listen_after_bind(); });
  // A stop that came before the loop runs would be missed and the join
  // would wait forever.
  while (!impl_->server.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

void PreviewServer::stop() {
  {
    std::lock_guard<std::mutex> lock(impl_->site.mutex);
    impl_->site.stopping = true;
  }
  impl_->site.changed.notify_all();
  impl_->server.stop();
  if (impl_->thread.joinable()) impl_->thread.join();
}

}  // namespace mt

#else

namespace mt {

// Without the HTTP library (a cross build for a platform that does not
// package it) the tool builds and runs; only --serve says it cannot.
struct PreviewServer::Impl {};
PreviewServer::PreviewServer(ServedSite&) {}
PreviewServer::~PreviewServer() = default;
bool PreviewServer::available() { return false; }
bool PreviewServer::bind() { return false; }
void PreviewServer::start() {}
void PreviewServer::stop() {}

}  // namespace mt

#endif
