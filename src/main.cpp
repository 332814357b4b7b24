// maketarnwick [options] <output folder> <url root>: builds the whole site.
// maketarnwick --serve [--port N] [options] <output folder>: builds, serves
// and rebuilds on every change (a preview).

#include <new>
#include <string>
#include <vector>

#include "diag/diagnostics.h"
#include "driver/build.h"
#include "driver/options.h"
#include "platform/args.h"
#include "platform/signals.h"
#include "platform/sink.h"
#include "serve/serve.h"

namespace {

int run_tool(int argc, char** argv) {
  std::set_new_handler(mt::out_of_memory);
  // A run stopped half-way leaves no partial page to be deployed.
  mt::remove_temp_files_on_interrupt();
  const mt::Options options = mt::parse_options(mt::command_line_arguments(argc, argv));
  mt::FileSink out(stdout);
  int status = 0;
  const bool other = options.help || options.version || options.init || !options.bad.empty();
  if (options.serve && !other && options.operands.size() == 1) {
    status = mt::serve({options.operands[0], options.port, mt::build_config(options)}, out);
  } else if ((options.serve || options.port_given) && !other) {
    mt::Diagnostics diag{&out};
    diag.report({}, mt::Msg::serve_usage);
    status = 1;
  } else {
    status = mt::run(options, out);
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
