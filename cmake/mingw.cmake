# What both MinGW-w64 cross builds share; the toolchain files name the
# target (SETUP_MINGW_TRIPLE). Debian's posix-thread compilers, so
# GoogleTest builds.
set(CMAKE_SYSTEM_NAME Windows)

# CTest starts the tree's Windows programs through the test bed's check,
# which runs them with the bed's Wine loader and refuses outside the bed.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tests/in-test-bed)

set(CMAKE_C_COMPILER ${SETUP_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${SETUP_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${SETUP_MINGW_TRIPLE}-windres)
set(CMAKE_AR ${SETUP_MINGW_TRIPLE}-ar)
set(CMAKE_RANLIB ${SETUP_MINGW_TRIPLE}-ranlib)

set(CMAKE_FIND_ROOT_PATH /usr/${SETUP_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
