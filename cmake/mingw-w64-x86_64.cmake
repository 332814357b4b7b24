# Cross build for 64-bit Windows with Debian's mingw-w64 (the POSIX-threads
# flavour, whose C++ library has std::thread and std::filesystem). The
# programs are linked statically so each .exe runs alone, under wine in CI
# or copied to a Windows machine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(MT_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${MT_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MT_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${MT_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${MT_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# pkg-config looks only among the Windows libraries: the host's (the
# preview server's Linux build of its HTTP library) cannot link here.
set(ENV{PKG_CONFIG_LIBDIR} /usr/${MT_MINGW_PREFIX}/lib/pkgconfig)
set(ENV{PKG_CONFIG_PATH} "")

# GCC 12 warns falsely about overlapping copies inside std::string's
# operator+ (GCC bug 105329).
set(CMAKE_CXX_FLAGS_INIT "-Wno-restrict")

# No DLL of the compiler's runtime is needed beside the programs. The tool
# itself adds -municode (its wmain); the test programs keep GoogleTest's main.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Lets CMake (and GoogleTest's discovery) run the built programs.
find_program(MT_WINE NAMES wine wine64)
if(MT_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${MT_WINE})
endif()
