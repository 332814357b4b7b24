#include "driver/options.h"

#include <algorithm>

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

// The value after an option at `*i`, or false (the option is then bad).
bool take_value(const std::vector<std::string>& args, size_t* i, std::string* value) {
  if (*i + 1 >= args.size()) return false;
  *value = args[++*i];
  return true;
}

// The options of the translators' tasks; false when `arg` is none of them.
bool translator_option(const std::vector<std::string>& args, size_t* i, Options& options) {
  const std::string& arg = args[*i];
  bool ok = true;
  if (arg == "--status") {
    options.status = true;
  } else if (arg == "--json") {
    options.json = true;
  } else if (arg == "--html") {
    ok = take_value(args, i, &options.html_file);
  } else if (arg == "--accept") {
    ok = take_value(args, i, &options.accept);
  } else if (arg == "--export-po") {
    ok = take_value(args, i, &options.export_po) && take_value(args, i, &options.po_file);
  } else if (arg == "--import-po") {
    options.import_po = true;
    ok = take_value(args, i, &options.po_file);
  } else {
    return false;
  }
  if (!ok) options.bad = arg;
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
    } else if (arg == "--incremental") {
      options.incremental = true;
    } else if (arg == "--serve") {
      options.serve = true;
    } else if (arg == "--port") {
      options.port_given = true;
      if (++i == args.size() || !parse_port(args[i], &options.port)) options.bad = arg;
    } else if (arg == "--changes") {
      if (++i == args.size() || args[i].empty()) {
        options.bad = arg;
      } else {
        options.changes_file = args[i];
      }
    } else if (arg == "--init") {
      options.init = true;
      if (++i == args.size()) {
        options.bad = arg;
      } else {
        options.init_folder = args[i];
      }
    } else if (!translator_option(args, &i, options)) {
      options.bad = arg;
    }
  }
  // An option that lacks its value at the very end leaves `i` past the end.
  i = std::min(i, args.size());
  options.operands.assign(args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
  return options;
}

BuildConfig build_config(const Options& options) {
  BuildConfig config;
  config.source_folder = options.source_folder;
  if (options.operands.size() == 2) {
    config.output_root = options.operands[0];
    config.url_root = options.operands[1];
  }
  config.strict = options.strict;
  config.prune = options.prune;
  config.pedantic = options.pedantic;
  config.incremental = options.incremental;
  config.changes_file = options.changes_file;
  return config;
}

}  // namespace mt
