# Cross build for 64-bit Windows: a twin of the Windows tree from the same
# sources, for machines whose kernel runs no 32-bit code and so no 32-bit
# Wine. The shipped file stays the 32-bit Setup.exe.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(SETUP_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
