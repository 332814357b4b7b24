#pragma once
// What the preview server answers, apart from the socket work: which file a
// request path names, its content type, and the reload script that pages
// get on their way to the browser (never in the files on disk).

#include <optional>
#include <string>
#include <string_view>

namespace mt {

/// The address of the event stream that tells open pages about rebuilds.
inline constexpr std::string_view kEventsPath = "/__maketarnwick/events";

/// The file a decoded request path names, relative to the served folder
/// with '/' between components; none when the path could lead out of the
/// folder ("..", a backslash, a colon, a NUL) or does not start with '/'.
std::optional<std::string> served_relative_path(std::string_view path);

/// The Content-Type for a file name, by its extension; unknown ones are
/// sent as bytes.
std::string_view content_type_for(std::string_view name);

/// `html` with the reload script before its last "</body>" (at the end when
/// there is none). The script reloads the page once the event stream
/// reports a build other than `build`, the one the page came from.
std::string with_reload_script(std::string html, unsigned build);

/// One message of the event stream: the number of the latest build.
std::string build_event(unsigned build);

/// The page that stands in for the contact script, which needs PHP: how to
/// test it with PHP's own server on the same port and folder.
std::string php_needed_page(int port, std::string_view folder);

}  // namespace mt
