// maketarnwick <output folder> <url root>: builds the whole site.

#include <string>
#include <vector>

#include "driver/build.h"
#include "platform/sink.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  mt::FileSink out(stdout);
  int status = mt::run(args, out);
  out.flush();
  return status;
}
