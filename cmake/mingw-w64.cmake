# mingw-w64.cmake - cross-compiles for 64-bit Windows with Debian's MinGW-w64 (posix threads, which Qt needs)
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(RUPIKA_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${RUPIKA_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${RUPIKA_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${RUPIKA_MINGW_TRIPLE}-windres)

# Libraries and headers come from the MinGW tree (and whatever a project adds to the root path),
# programs from the host: the build runs moc and rcc of the host's Qt.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${RUPIKA_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
