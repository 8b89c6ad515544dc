# Windows tree: Setup.exe, the test-support programs and the Wine tests.
enable_language(RC)
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 65001")

# Product code: small, no exceptions or RTTI or unwind tables, the Microsoft
# runtime's own printf family, and a static runtime so only system DLLs are
# imported. No -fdata-sections: with it MinGW puts zero-filled globals in
# .data instead of .bss, which costs file space.
set(SETUP_PRODUCT_FLAGS -Os -fno-exceptions -fno-rtti -fno-asynchronous-unwind-tables
    -ffunction-sections -D__USE_MINGW_ANSI_STDIO=0 -DWIN32_LEAN_AND_MEAN)
target_compile_options(setup_text PRIVATE ${SETUP_PRODUCT_FLAGS})

add_library(setup_win32 STATIC
    launcher/registry.cpp
    launcher/main_window.cpp
    launcher/run_and_wait.cpp
    launcher/platform_ops.cpp
    detect/installed_check.cpp
    repair/read_directory.cpp
    repair/uninstall_entry.cpp
    repair/source_list.cpp
    reports/version_report.cpp
    reports/help_file.cpp
    reports/resource_log.cpp
)
target_include_directories(setup_win32 PUBLIC ${PROJECT_SOURCE_DIR})
target_compile_options(setup_win32 PRIVATE ${SETUP_WARNINGS} ${SETUP_PRODUCT_FLAGS})
target_link_libraries(setup_win32 PUBLIC setup_text)

add_executable(Setup WIN32 launcher/entry.cpp launcher/winmain.cpp resources/launcher.rc)
target_compile_options(Setup PRIVATE ${SETUP_WARNINGS} ${SETUP_PRODUCT_FLAGS})
target_link_libraries(Setup PRIVATE setup_win32)
# Own entry point instead of the runtime's start-up; ASLR and DEP on; no
# link time stamp, so two builds give the same bytes; everything unused
# dropped, symbols stripped.
target_link_options(Setup PRIVATE -nostartfiles -Wl,-e,_SetupEntry@0 -static -s
    -Wl,--gc-sections -Wl,--dynamicbase -Wl,--nxcompat -Wl,--no-insert-timestamp)
set_target_properties(Setup PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

enable_testing()
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

add_subdirectory(package)
add_subdirectory(tools)
add_subdirectory(tests/wine)
add_subdirectory(tests/e2e)
add_subdirectory(tests/pe)
add_subdirectory(bench)
