# Host tree: the pure logic with its native tests.
enable_testing()
if(SETUP_FUZZ)
    add_subdirectory(tests/fuzz)
    return()
endif()
setup_add_googletest()
add_subdirectory(tests/native)
