#pragma once
// The command line as UTF-8 arguments.

#include <string>
#include <vector>

namespace mt {

/// The arguments after the program name, as UTF-8 (on Windows taken from the
/// wide command line, so names outside the ANSI code page survive).
std::vector<std::string> command_line_arguments(int argc, char** argv);

#ifdef _WIN32
/// A UTF-8 path in the wide form of Windows file-system calls: as written
/// while short, the full \\?\ form once it nears MAX_PATH, so long paths work.
std::wstring to_wide(const std::string& text);
#endif

}  // namespace mt
