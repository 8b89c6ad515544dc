# Fails when any of FILES (objects or static libraries) holds a static
# constructor: Setup.exe starts at its own entry point without the C
# runtime's start-up code, so no constructor of a global would ever run.
#   cmake -DOBJDUMP=... -DFILES=a;b;c -P check_no_constructors.cmake
foreach(file IN LISTS FILES)
    execute_process(COMMAND ${OBJDUMP} -h ${file} OUTPUT_VARIABLE sections
                    RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "cannot read the sections of ${file}")
    endif()
    if(sections MATCHES "[ \t](\\.ctors|\\.init_array)[.0-9]*[ \t]")
        message(FATAL_ERROR "${file} has a static constructor (${CMAKE_MATCH_1}); "
                "Setup.exe runs no constructors, so initialise globals statically")
    endif()
endforeach()
