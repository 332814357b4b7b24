#pragma once
// The command line as UTF-8 arguments.

#include <string>
#include <vector>

namespace mt {

/// The arguments after the program name, as UTF-8 (on Windows taken from the
/// wide command line, so names outside the ANSI code page survive).
std::vector<std::string> command_line_arguments(int argc, char** argv);

#ifdef _WIN32
/// A UTF-8 path in the wide form of Windows file-system calls: always the
/// full \\?\ form, so long paths work and a name such as AUX.txt or nul.txt
/// is a file like any other, never a device.
std::wstring to_wide(const std::string& text);
#endif

}  // namespace mt
