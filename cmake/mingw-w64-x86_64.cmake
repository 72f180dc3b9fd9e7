# Cross-compiling for 64-bit Windows with Debian's mingw-w64 compilers
# (g++-mingw-w64-x86-64, the -posix thread model that std::thread needs).
# Programs link statically (libgcc, libstdc++, winpthread) so that they run
# under Wine or on Windows without any DLL beside them. Wine runs the test
# programs (ctest, test discovery).
#
# Libraries built for Windows (the XML library, GoogleTest) are found below
# CMAKE_PREFIX_PATH; nothing from the build machine's /usr is used.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VARNOK_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VARNOK_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VARNOK_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${VARNOK_MINGW_TRIPLE}-windres)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

set(CMAKE_FIND_ROOT_PATH /usr/${VARNOK_MINGW_TRIPLE})
# Prefixes given with -DCMAKE_PREFIX_PATH hold libraries built for Windows:
# they are roots of their own.
list(APPEND CMAKE_FIND_ROOT_PATH ${CMAKE_PREFIX_PATH})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

find_program(VARNOK_WINE NAMES wine wine64)
if(VARNOK_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${VARNOK_WINE})
endif()
