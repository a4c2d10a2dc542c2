# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 g++ (package g++-mingw-w64-x86-64-posix;
# the 'posix' thread model is the one std::thread and the static Qt need).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(PERUMORA_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER   ${PERUMORA_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PERUMORA_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${PERUMORA_MINGW_TRIPLE}-windres)
set(CMAKE_AR           ${PERUMORA_MINGW_TRIPLE}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB       ${PERUMORA_MINGW_TRIPLE}-ranlib CACHE FILEPATH "")
set(CMAKE_STRIP        ${PERUMORA_MINGW_TRIPLE}-strip CACHE FILEPATH "")

# Libraries and headers only from the MinGW sysroot (and the static Qt, which Qt's own toolchain adds);
# programs such as the host moc and rcc from the build machine.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${PERUMORA_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
