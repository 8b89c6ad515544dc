# Windows tree: Setup.exe with MinGW alone; the test-support programs and
# the Wine tests, the demo package and the benchmark where their tools are
# at hand (make test, demo, bench and gallery ask for all of them).
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
# .data instead of .bss, which costs file space. No -ffunction-sections
# either: the assembler pads each section to four bytes, and every function
# the product compiles is used, so sections of their own only add padding.
# -Oz, not -Os: nothing the launcher does waits on its own code. Even -Oz
# copies a function called once into its caller, clones functions for
# constant arguments, copies the code after a branch into each way that
# reaches it, ends calls in jumps, turns switches into tables of addresses
# (a relocation each), aligns arrays to 32 bytes, and rewrites loops and
# moves code out of them and around early returns for speed; without all
# that the file is 2.5 KiB smaller. Over the whole program, splitting
# parameters and following pointers between functions (-fipa-pta) take
# some code away.
set(SETUP_PRODUCT_FLAGS -Oz -fno-exceptions -fno-rtti -fno-asynchronous-unwind-tables
    -fomit-frame-pointer -fno-inline-functions-called-once -fipa-pta -fno-ipa-cp
    -fno-thread-jumps -fno-tree-dominator-opts -fno-tree-vrp -fno-ipa-modref
    -fno-optimize-sibling-calls -fno-jump-tables -malign-data=abi -fno-tree-loop-optimize
    -fno-tree-loop-im -fno-shrink-wrap -D__USE_MINGW_ANSI_STDIO=0 -DWIN32_LEAN_AND_MEAN)
# On 32-bit Windows: the stack's 4-byte alignment, which the product's data
# needs no more than, and arguments pushed rather than stored, which takes
# some 2 KiB of code. Pushing is only correct without the probes that step
# a large frame through the stack's guard page, so no frame may be large:
# every frame stays well under a page, and a call touches the page above.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    list(APPEND SETUP_PRODUCT_FLAGS -mpreferred-stack-boundary=2 -mno-accumulate-outgoing-args
        -mno-stack-arg-probe -Wframe-larger-than=3072)
endif()
target_compile_options(setup_product INTERFACE "$<$<COMPILE_LANGUAGE:CXX>:${SETUP_PRODUCT_FLAGS}>")

add_library(setup_win32 STATIC
    base/links.cpp
    base/registry.cpp
    base/run_and_wait.cpp
    detect/read_registration.cpp
    repair/write_value.cpp
    reports/report_output.cpp
    launcher/main_window.cpp
    launcher/refusal_dialog.cpp
    launcher/platform_ops.cpp
)
target_include_directories(setup_win32 PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(setup_win32 PUBLIC setup_text PRIVATE setup_product)
# The libraries are linked with tests and tools built with other options,
# which instantiate the same text templates: the linker keeps one copy of
# each, not necessarily the product's. So the libraries' code may not count
# on a callee leaving registers alone that the calling convention lets it
# use (-fipa-ra), as the copy kept may use them.
target_compile_options(setup_text PRIVATE -fno-ipa-ra)
target_compile_options(setup_win32 PRIVATE -fno-ipa-ra)

# The shipped file is compiled from the same sources as one program: the
# link optimises them whole (-fwhole-program), so every function but the
# entry point is the program's own, takes its arguments in registers and is
# dropped where unused. The optimisation runs at the link, so the size and
# frame flags go there too. This ld crashes in the compiler's linker plugin,
# so collect2 runs the optimiser itself; that takes whole objects, not the
# members of archives, so the libraries' sources are compiled into Setup.
# CMake's MinGW rule would hand the objects over in an archive, a
# workaround for the command-line limits of compilers long gone.
set(CMAKE_CXX_LINK_EXECUTABLE "<CMAKE_CXX_COMPILER> <FLAGS> <CMAKE_CXX_LINK_FLAGS> <LINK_FLAGS> \
<OBJECTS> -o <TARGET> -Wl,--out-implib,<TARGET_IMPLIB> <LINK_LIBRARIES>")
get_target_property(SETUP_TEXT_SOURCES setup_text SOURCES)
get_target_property(SETUP_WIN32_SOURCES setup_win32 SOURCES)
add_executable(Setup WIN32 ${SETUP_TEXT_SOURCES} ${SETUP_WIN32_SOURCES} launcher/entry.cpp
    launcher/winmain.cpp resources/launcher.rc)
target_include_directories(Setup PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_BINARY_DIR}/generated)
target_link_libraries(Setup PRIVATE setup_product)
target_compile_options(Setup PRIVATE $<$<COMPILE_LANGUAGE:CXX>:-flto -ffat-lto-objects>)
target_link_options(Setup PRIVATE -flto -fno-use-linker-plugin -fwhole-program
    ${SETUP_PRODUCT_FLAGS} ${SETUP_WARNINGS})
# Own entry point instead of the runtime's start-up; ASLR and DEP on; no
# link time stamp, so two builds give the same bytes; everything unused
# dropped, symbols stripped.
setup_entry_option(SETUP_ENTRY SetupEntry)
target_link_options(Setup PRIVATE -nostartfiles ${SETUP_ENTRY} -static -s
    -Wl,--gc-sections -Wl,--dynamicbase -Wl,--nxcompat -Wl,--no-insert-timestamp)
# The 32-bit file registers no exception handler of its own (no exceptions,
# no runtime start-up), so it says so: the system then calls none that
# points into it, which a file without a safe-handler table cannot promise.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    target_link_options(Setup PRIVATE -Wl,--no-seh)
endif()
set_target_properties(Setup PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
# The shipped file's size budget in bytes, the one place it is set: the
# pe_size test holds Setup.exe to it and the benchmark's report judges by it.
# A budget against growth: 48.5 KiB, a little over half the NSIS peer's
# size (it was half of it, 45,056 bytes, until the run record and what-if
# took 6,656 bytes, and the desktop's shell and start state 512 more; the
# whole-program link then won back 2 KiB). The content alone takes much of
# it: the 24 dialog templates in UTF-16 are 18,116 bytes and the help text
# 4,540, the manifest and the version resource 1,586, before code, imports,
# relocations and headers.
set(SETUP_SIZE_BUDGET 49664)
# Without the runtime's start-up nothing runs the constructors of globals:
# the build fails when the product's code has one.
add_custom_command(TARGET Setup POST_BUILD
    COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${CMAKE_OBJDUMP}
        "-DFILES=$<TARGET_OBJECTS:Setup>"
        -P ${PROJECT_SOURCE_DIR}/cmake/check_no_constructors.cmake
    VERBATIM)

# What beyond Setup.exe this tree builds; each defaults to whether what it
# needs is at hand.
find_program(MAKENSIS makensis)
find_program(MSIBUILD msibuild)
foreach(part IN ITEMS TESTS DEMO BENCH)
    set(SETUP_${part}_DEFAULT OFF)
endforeach()
if(EXISTS ${SETUP_GOOGLETEST_DIR}/CMakeLists.txt)
    set(SETUP_TESTS_DEFAULT ON)
endif()
if(MSIBUILD)
    set(SETUP_DEMO_DEFAULT ON)
endif()
if(MAKENSIS)
    set(SETUP_BENCH_DEFAULT ON)
endif()
option(SETUP_TESTS "Build the Wine tests (needs GoogleTest's sources)" ${SETUP_TESTS_DEFAULT})
option(SETUP_DEMO "Build the demo package (needs msitools' msibuild)" ${SETUP_DEMO_DEFAULT})
option(SETUP_BENCH "Build the benchmark (needs NSIS's makensis)" ${SETUP_BENCH_DEFAULT})

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

add_subdirectory(tests/pe)
add_subdirectory(tools)
if(SETUP_DEMO)
    add_subdirectory(package)
    # What make demo builds: the launcher, the demo inner installer and its
    # package, and the helpers tools/demo.sh calls.
    add_custom_target(demo_parts)
    add_dependencies(demo_parts Setup demo_installer demo_package run_command show_registry
        ui_driver)
endif()
if(SETUP_TESTS)
    setup_add_googletest()
    # The entry of every Wine test program: it refuses to run outside the
    # test bed.
    add_library(wine_test_main STATIC tools/testbed/test_main.cpp)
    target_link_libraries(wine_test_main PUBLIC GTest::gtest)
    add_subdirectory(tests/wine)
    add_subdirectory(tests/shipped)
    if(SETUP_DEMO)
        add_subdirectory(tests/e2e)  # its round trip installs the demo package
    endif()
endif()
if(SETUP_BENCH)
    add_subdirectory(bench)
endif()
