# Cross build for 64-bit Windows with Debian's mingw-w64 (package
# g++-mingw-w64-x86-64-posix). The posix-threads compilers are named
# explicitly: std::thread and std::mutex need them, and the default chosen
# by update-alternatives may be the win32-threads one.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QOZEL_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${QOZEL_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QOZEL_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${QOZEL_MINGW_PREFIX}-windres)

# Libraries and packages come from the mingw sysroot (and from the prefixes
# the caller adds to CMAKE_FIND_ROOT_PATH); programs from the build machine.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${QOZEL_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The programs take the compiler's runtime DLLs, as Qt's DLLs do, so that a
# process holds one C++ runtime; the setup program ships them beside the
# programs. Programs run at build time (the firmware image tools) and the
# tests run under Wine through a wrapper that finds those DLLs.
find_program(QOZEL_WINE wine)
if(QOZEL_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run)
endif()
