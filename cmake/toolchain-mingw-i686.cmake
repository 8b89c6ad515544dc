# Cross build for 32-bit Windows: the shipped Setup.exe and everything that
# tests it where the machine runs 32-bit code.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(SETUP_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
