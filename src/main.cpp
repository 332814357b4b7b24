// maketarnwick <output folder> <url root>: builds the whole site.
// maketarnwick --serve [--port N] <output folder>: builds, serves and
// rebuilds on every change (a preview).

#include <new>
#include <string>
#include <vector>

#include "diag/diagnostics.h"
#include "driver/build.h"
#include "platform/args.h"
#include "platform/sink.h"
#include "serve/serve.h"

namespace {

/// The options in front of the arguments. Without any, the arguments go to
/// the build exactly as given, so a plain build behaves as it always did.
struct Options {
  bool serve = false;
  int port = 8080;
  bool port_given = false;
  bool bad = false;  // an option was malformed
  std::vector<std::string> operands;
};

bool parse_port(const std::string& text, int* port) {
  if (text.empty() || text.size() > 5) return false;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  if (value < 1 || value > 65535) return false;
  *port = value;
  return true;
}

Options parse_options(const std::vector<std::string>& args) {
  Options options;
  size_t i = 0;
  for (; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--serve") {
      options.serve = true;
    } else if (arg == "--port") {
      options.port_given = true;
      if (++i == args.size() || !parse_port(args[i], &options.port)) options.bad = true;
    } else if (arg == "--") {
      ++i;
      break;
    } else {
      break;
    }
  }
  if (!options.serve && !options.port_given) i = 0;  // no options: everything is an operand
  options.operands.assign(args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
  return options;
}

}  // namespace

namespace {

int run_tool(int argc, char** argv) {
  std::set_new_handler(mt::out_of_memory);
  const Options options = parse_options(mt::command_line_arguments(argc, argv));
  mt::FileSink out(stdout);
  int status = 0;
  if (options.serve && !options.bad && options.operands.size() == 1) {
    status = mt::serve({options.operands[0], options.port}, out);
  } else if (options.serve || options.port_given) {
    mt::Diagnostics diag{&out};
    diag.report({}, mt::Msg::serve_usage);
    status = 1;
  } else {
    status = mt::run(options.operands, out);
  }
  out.flush();
  // Messages that could not be written (a full disk, a closed pipe) leave
  // the run unreported, which must not pass for success.
  if (!out.ok()) return 1;
  return status;
}

}  // namespace

#ifdef _WIN32
// A Unicode entry point: nothing converts the command line to the ANSI code
// page on the way in; the arguments are read from the wide command line.
int wmain(int, wchar_t**) { return run_tool(0, nullptr); }
#else
int main(int argc, char** argv) { return run_tool(argc, argv); }
#endif
