// maketarnwick <output folder> <url root>: builds the whole site.

#include <new>
#include <string>
#include <vector>

#include "driver/build.h"
#include "platform/args.h"
#include "platform/sink.h"

int main(int argc, char** argv) {
  std::set_new_handler(mt::out_of_memory);
  std::vector<std::string> args = mt::command_line_arguments(argc, argv);
  mt::FileSink out(stdout);
  int status = mt::run(args, out);
  out.flush();
  // Messages that could not be written (a full disk, a closed pipe) leave
  // the run unreported, which must not pass for success.
  if (!out.ok()) return 1;
  return status;
}
