#include "platform/args.h"

#ifdef _WIN32
// windows.h first: shellapi.h builds on its declarations.
#include <windows.h>

#include <shellapi.h>

#include "platform/wide_win32.h"
#endif

namespace mt {

#ifdef _WIN32

std::vector<std::string> command_line_arguments(int, char**) {
  // The wide command line keeps every name as typed, whatever the ANSI
  // code page.
  std::vector<std::string> args;
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!wide) return args;
  for (int i = 1; i < count; ++i) args.push_back(wide_to_utf8(wide[i]));
  LocalFree(wide);
  return args;
}

#else

std::vector<std::string> command_line_arguments(int argc, char** argv) {
  return std::vector<std::string>(argv + 1, argv + argc);
}

#endif

}  // namespace mt
