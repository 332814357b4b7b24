#include "serve/server.h"

#ifdef MT_HAVE_HTTPLIB

#include <httplib.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <thread>

#include "platform/served_files.h"
#include "platform/sockets.h"
#include "platform/text.h"
#include "serve/responses.h"

namespace mt {

namespace {

// Each connection holds a thread while it is open: an event stream, or a
// browser's idle connection for a second.
constexpr size_t kThreads = 32;
// Pages of one browser share one event stream, but other browsers, old
// ones and other clients may open many: only this many stay open, so they
// never hold the threads that answer pages. A stream asked for beyond them
// gets the latest build and the time to ask again, and ends, like a poll.
constexpr unsigned kMaxStreams = 4;
constexpr std::string_view kRetryLine = "retry: 2000\n";
// An event stream whose page is gone is noticed only when a write fails:
// a comment line this often lets such a thread go.
constexpr auto kKeepAlive = std::chrono::seconds(10);
// Files are sent in pieces of this size, read from the open file.
constexpr size_t kPiece = 1 << 16;

/// A reply's bytes: a file with `insert` (a page's reload script) put
/// before its byte `insert_at`.
struct FileBody {
  std::unique_ptr<ServedFile> file;
  uint64_t insert_at = 0;
  std::string insert;
};

/// Sends the bytes of `body` from `offset` on, at most up to `end`, as one
/// piece; false when the file ends early or cannot be read, or the
/// connection is gone.
bool send_piece(const FileBody& body, uint64_t offset, uint64_t end, std::string& buffer, httplib::DataSink& sink) {
  const uint64_t after_insert = body.insert_at + body.insert.size();
  if (offset >= body.insert_at && offset < after_insert) {
    const size_t from = static_cast<size_t>(offset - body.insert_at);
    const size_t count = static_cast<size_t>(std::min<uint64_t>(body.insert.size() - from, end - offset));
    return sink.write(body.insert.data() + from, count);
  }
  const bool before = offset < body.insert_at;
  const uint64_t stop = before ? std::min(end, body.insert_at) : end;
  buffer.resize(static_cast<size_t>(std::min<uint64_t>(kPiece, stop - offset)));
  const std::ptrdiff_t got =
      body.file->read_at(before ? offset : offset - body.insert.size(), buffer.data(), buffer.size());
  return got > 0 && sink.write(buffer.data(), static_cast<size_t>(got));
}

/// Answers with the file, a page with its reload script; the part a Range
/// header asks for when `range` is not empty.
void send_file(std::unique_ptr<ServedFile> file, const std::string& type, unsigned build, std::string_view range,
               httplib::Response& res) {
  auto body = std::make_shared<FileBody>();
  body->file = std::move(file);
  body->insert_at = body->file->size();
  if (starts_with_no_case(type, "text/html")) {
    const ServedFile& page = *body->file;
    body->insert_at = reload_script_offset(
        [&page](uint64_t offset, char* buffer, size_t count) { return page.read_at(offset, buffer, count); },
        page.size());
    body->insert = reload_script(build);
  }
  const uint64_t size = body->file->size() + body->insert.size();
  RangeAnswer part = requested_range(range, size);
  if (part.kind == RangeAnswer::unsatisfiable) {
    res.status = 416;
    res.set_header("Content-Range", "bytes */" + std::to_string(size));
    return;
  }
  if (part.kind == RangeAnswer::whole) {
    part.length = size;
  } else {
    res.status = 206;
    res.set_header("Content-Range", "bytes " + std::to_string(part.first) + "-" +
                                        std::to_string(part.first + part.length - 1) + "/" + std::to_string(size));
  }
  // The library sends an empty reply right only when it is given as such.
  if (part.length == 0) return res.set_content(std::string(), type);
  res.set_content_provider(static_cast<size_t>(part.length), type,
                           [body, first = part.first, buffer = std::string()](size_t offset, size_t length,
                                                                              httplib::DataSink& sink) mutable {
                             return send_piece(*body, first + offset, first + offset + length, buffer, sink);
                           });
}

void answer_file(ServedSite& site, const httplib::Request& req, httplib::Response& res) {
  // A preview must show the latest build; nothing may be taken from a cache.
  res.set_header("Cache-Control", "no-store");
  unsigned build = 0;
  std::string error_page;
  {
    std::lock_guard<std::mutex> lock(site.mutex);
    build = site.build;
    error_page = site.error_page;
  }
  std::string name;
  const std::optional<std::string> relative = served_relative_path(req.path);
  std::unique_ptr<ServedFile> file = relative ? open_served_file(site.root, *relative, &name) : nullptr;
  if (file && equal_no_case(name, "sendemail.php")) {
    res.status = 501;
    res.set_content(php_needed_page(site.port, site.folder), "text/html; charset=utf-8");
    return;
  }
  if (file) {
    res.set_header("Accept-Ranges", "bytes");
    // Without validators of its own, this server cannot tell whether an
    // If-Range still holds: such a request gets the whole file.
    const bool ranged = req.method != "POST" && !req.has_header("If-Range");
    const std::string range = ranged ? req.get_header_value("Range") : std::string();
    send_file(std::move(file), std::string(content_type_for(name)), build, range, res);
    return;
  }
  res.status = 404;
  if (!error_page.empty() && (file = open_served_file(site.root, error_page, &name))) {
    send_file(std::move(file), "text/html; charset=utf-8", build, {}, res);
  } else {
    res.set_content("not found\n", "text/plain; charset=utf-8");
  }
}

void answer_events(ServedSite& site, httplib::Response& res) {
  res.set_header("Cache-Control", "no-store");
  std::unique_lock<std::mutex> lock(site.mutex);
  if (site.streams >= kMaxStreams) {
    std::string message(kRetryLine);
    message += build_event(site.build);
    lock.unlock();
    res.set_content(message, "text/event-stream");
    return;
  }
  ++site.streams;
  lock.unlock();
  std::optional<unsigned> sent;
  res.set_chunked_content_provider(
      "text/event-stream",
      [&site, sent](size_t, httplib::DataSink& sink) mutable {
        std::unique_lock<std::mutex> held(site.mutex);
        if (sent) site.changed.wait_for(held, kKeepAlive, [&] { return site.stopping || site.build != *sent; });
        if (site.stopping) return false;
        const unsigned build = site.build;
        held.unlock();
        const std::string message = sent == build ? std::string(":\n\n") : build_event(build);
        sent = build;
        return sink.write(message.data(), message.size());
      },
      [&site](bool) {
        std::lock_guard<std::mutex> held(site.mutex);
        --site.streams;
      });
}

/// Reads a post's body and drops it, whatever its length: the library would
/// keep it in memory, and the contact script that would read it needs PHP.
void answer_post(ServedSite& site, const httplib::Request& req, httplib::Response& res,
                 const httplib::ContentReader& read) {
  const auto drop = [](const char*, size_t) { return true; };
  const bool whole =
      req.is_multipart_form_data() ? read([](const httplib::MultipartFormData&) { return true; }, drop) : read(drop);
  if (whole) return answer_file(site, req, res);
  res.status = 400;  // a malformed form
}

/// Looks at every request before it is routed: one for another host is
/// refused, with nothing of the site.
httplib::Server::HandlerResponse screen(const ServedSite& site, const httplib::Request& req, httplib::Response& res) {
  // The library would cut whatever is answered to the request's ranges, to
  // every one of them however many, and without checking them against the
  // size: ranges are answered by send_file alone. The request object is the
  // library's own, not a constant; only the handlers see it as one.
  const_cast<httplib::Request&>(req).ranges.clear();
  // Browsers always send a Host; a request without one comes from a tool on
  // this machine (HTTP/1.0), which could connect anyway.
  const size_t hosts = req.get_header_value_count("Host");
  if (hosts == 0 || (hosts == 1 && host_allowed(req.get_header_value("Host"), site.port))) {
    return httplib::Server::HandlerResponse::Unhandled;
  }
  res.status = 403;
  res.set_header("Cache-Control", "no-store");
  const std::string port = std::to_string(site.port);
  res.set_content("This preview answers only http://127.0.0.1:" + port + "/, http://localhost:" + port +
                      "/ and http://[::1]:" + port + "/.\n",
                  "text/plain; charset=utf-8");
  return httplib::Server::HandlerResponse::Handled;
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
  server.set_pre_routing_handler(
      [&site](const httplib::Request& req, httplib::Response& res) { return screen(site, req, res); });
  server.Get(std::string(kEventsPath),
             [&site](const httplib::Request&, httplib::Response& res) { answer_events(site, res); });
  server.Get(".*", [&site](const httplib::Request& req, httplib::Response& res) { answer_file(site, req, res); });
  // The contact form posts to its script; every other post finds nothing.
  server.Post(".*", [&site](const httplib::Request& req, httplib::Response& res, const httplib::ContentReader& read) {
    answer_post(site, req, res, read);
  });
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
