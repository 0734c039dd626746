# Cross-compiles for 64-bit Windows with Debian's mingw-w64 (POSIX threads variant, which the
# C++ standard library's threads and mutexes need). tools/windows-check.sh adds wine as the
# emulator that runs the results.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(ORVEK_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ORVEK_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ORVEK_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${ORVEK_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${ORVEK_MINGW_TRIPLE} ${ORVEK_MINGW_EXTRA_ROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Static runtime: the programs run under wine without copying the compiler's DLLs next to them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
