#include "driver/options.h"

namespace mt {

namespace {

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

}  // namespace

Options parse_options(const std::vector<std::string>& args) {
  Options options;
  size_t i = 0;
  for (; i < args.size() && options.bad.empty(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--") {
      ++i;
      break;
    }
    // Only "--name" is an option: a single "-" or "-x" stays an operand, as
    // an output folder of that name always was.
    if (!arg.starts_with("--")) break;
    if (arg == "--help") {
      options.help = true;
    } else if (arg == "--version") {
      options.version = true;
    } else if (arg == "--strict") {
      options.strict = true;
    } else if (arg == "--prune") {
      options.prune = true;
    } else if (arg == "--pedantic") {
      options.pedantic = true;
    } else if (arg == "--serve") {
      options.serve = true;
    } else if (arg == "--port") {
      options.port_given = true;
      if (++i == args.size() || !parse_port(args[i], &options.port)) options.bad = arg;
    } else if (arg == "--init") {
      options.init = true;
      if (++i == args.size()) {
        options.bad = arg;
      } else {
        options.init_folder = args[i];
      }
    } else {
      options.bad = arg;
    }
  }
  options.operands.assign(args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
  return options;
}

std::vector<std::string> build_flags(const Options& options) {
  std::vector<std::string> flags;
  if (options.strict) flags.push_back("--strict");
  if (options.prune) flags.push_back("--prune");
  if (options.pedantic) flags.push_back("--pedantic");
  return flags;
}

void print_help(Sink& out) {
  out.write(
      "usage:\n"
      "maketarnwick [options] <output folder> <url root>\n"
      "maketarnwick --serve [--port N] [options] <output folder>\n"
      "maketarnwick --init <folder>\n"
      "\n"
      "Builds the site whose language files (*.txt) are in the working folder;\n"
      "maketarnwick.conf there, when present, sets the release data, addresses\n"
      "and endpoints.\n"
      "\n"
      "options:\n"
      "  --help           print this text and exit\n"
      "  --version        print the name and version and exit\n"
      "  --strict         exit with status 2 when the run reported any error or warning\n"
      "  --prune          after the build, remove the files that the previous --prune\n"
      "                   run wrote and this one did not (manifest: .maketarnwick-manifest)\n"
      "  --pedantic       warn of what a plain run keeps silent\n"
      "  --init <folder>  write a minimal working site into a new or empty folder\n"
      "  --serve          build, serve on http://127.0.0.1:PORT and rebuild on changes\n"
      "  --port <N>       the port of --serve (default 8080)\n"
      "  --               end of the options\n"
      "\n"
      "exit status: 0 when the run completed (even with errors or warnings, unless\n"
      "--strict), 1 when it could not run, 2 with --strict after errors or warnings.\n");
}

void print_version(Sink& out) { out.write("maketarnwick 1.0\n"); }

}  // namespace mt
