// maketarnwick <output folder> <url root>: builds the whole site.

#include <new>
#include <string>
#include <vector>

#include "driver/build.h"
#include "platform/args.h"
#include "platform/sink.h"

namespace {

int run_tool(int argc, char** argv) {
  std::set_new_handler(mt::out_of_memory);
  std::vector<std::string> args = mt::command_line_arguments(argc, argv);
  mt::FileSink out(stdout);
  int status = mt::run(args, out);
  out.flush();
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
