#pragma once
// What the preview server answers, apart from the socket work: which
// requests it answers at all, which file a request path names, its content
// type, which bytes of it a Range header asks for, and the reload script
// that pages get on their way to the browser (never in the files on disk).

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace mt {

/// The address of the event stream that tells open pages about rebuilds.
inline constexpr std::string_view kEventsPath = "/__maketarnwick/events";

/// Whether a Host header names this preview: 127.0.0.1, localhost or [::1]
/// (without case) with its port, which may be left out only when it is 80,
/// as browsers leave it. Any other name reaches the preview only through a
/// name that was made to point here (DNS rebinding), from a page elsewhere.
bool host_allowed(std::string_view host, int port);

/// The file a decoded request path names, relative to the served folder
/// with '/' between components; none when the path could lead out of the
/// folder ("..", a backslash, a colon, a NUL) or does not start with '/'.
std::optional<std::string> served_relative_path(std::string_view path);

/// The Content-Type for a file name, by its extension; unknown ones are
/// sent as bytes.
std::string_view content_type_for(std::string_view name);

/// What a Range header asks of a reply of some size: one range is answered
/// in part; several, a header this does not read, or none, by the whole.
struct RangeAnswer {
  enum Kind { whole, part, unsatisfiable } kind = whole;
  uint64_t first = 0;   // for `part`: its first byte
  uint64_t length = 0;  // and its number of bytes, at least 1
};
RangeAnswer requested_range(std::string_view header, uint64_t size);

/// Reads up to `count` bytes at `offset` into `buffer`: the number read, 0
/// at the end, -1 after an error.
using ReadAt = std::function<std::ptrdiff_t(uint64_t offset, char* buffer, size_t count)>;

/// Where the reload script goes in a page of `size` bytes: before its last
/// "</body>" (without case), at the end when there is none. The page is
/// searched backwards in pieces of `piece` bytes.
uint64_t reload_script_offset(const ReadAt& read, uint64_t size, size_t piece = 1 << 16);

/// The reload script of a page that came from build `build`: it reloads the
/// page once the event stream reports another build. One page of a browser
/// holds the stream and passes what it hears to the others, so any number
/// of open pages take one connection.
std::string reload_script(unsigned build);

/// One message of the event stream: the number of the latest build.
std::string build_event(unsigned build);

/// The page that stands in for the contact script, which needs PHP: how to
/// test it with PHP's own server on the same port and folder.
std::string php_needed_page(int port, std::string_view folder);

}  // namespace mt
