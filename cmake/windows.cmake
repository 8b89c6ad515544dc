# Windows tree: Setup.exe, the test-support programs and the Wine tests.
enable_language(RC)
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 65001")

# -Wl,-e option for a WINAPI entry point without parameters: the 32-bit
# linker knows it by its stdcall name, the 64-bit one by its plain name.
function(setup_entry_option out name)
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
        set(${out} -Wl,-e,_${name}@0 PARENT_SCOPE)
    else()
        set(${out} -Wl,-e,${name} PARENT_SCOPE)
    endif()
endfunction()

# Product code: small, no exceptions or RTTI or unwind tables, the Microsoft
# runtime's own printf family, and a static runtime so only system DLLs are
# imported. No -fdata-sections: with it MinGW puts zero-filled globals in
# .data instead of .bss, which costs file space.
set(SETUP_PRODUCT_FLAGS -Os -fno-exceptions -fno-rtti -fno-asynchronous-unwind-tables
    -ffunction-sections -D__USE_MINGW_ANSI_STDIO=0 -DWIN32_LEAN_AND_MEAN)
target_compile_options(setup_text PRIVATE ${SETUP_PRODUCT_FLAGS})

add_library(setup_win32 STATIC
    base/registry.cpp
    launcher/main_window.cpp
    base/run_and_wait.cpp
    base/dialog.cpp
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
setup_entry_option(SETUP_ENTRY SetupEntry)
target_link_options(Setup PRIVATE -nostartfiles ${SETUP_ENTRY} -static -s
    -Wl,--gc-sections -Wl,--dynamicbase -Wl,--nxcompat -Wl,--no-insert-timestamp)
set_target_properties(Setup PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

enable_testing()
# Tests that run programs of this tree under Wine carry this label; the test
# bed runs those of the tree this machine runs natively (tests/run-ctest).
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(SETUP_WINE_LABEL wine-x86)
    set(SETUP_SHIPPED_EXE $<TARGET_FILE:Setup>)
else()
    set(SETUP_WINE_LABEL wine-x64)
    # The twin's tests of the shipped file take it from the 32-bit tree.
    set(SETUP_SHIPPED_EXE ${CMAKE_BINARY_DIR}/../win/bin/Setup.exe
        CACHE FILEPATH "The shipped 32-bit Setup.exe")
endif()
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

add_subdirectory(package)
add_subdirectory(tools)
add_subdirectory(tests/wine)
add_subdirectory(tests/e2e)
add_subdirectory(tests/shipped)
add_subdirectory(tests/pe)
add_subdirectory(bench)
