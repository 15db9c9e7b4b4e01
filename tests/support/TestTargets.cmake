# songwell_add_tests(LIBS...): every *_test.cpp of the calling folder becomes
# one GoogleTest executable linked with LIBS, registered with CTest and
# labelled with the folder's name, so that a build can run one subsystem's
# tests (ctest -L control).
function(songwell_add_tests)
    get_filename_component(folder ${CMAKE_CURRENT_SOURCE_DIR} NAME)
    file(GLOB test_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp)
    foreach(source IN LISTS test_sources)
        get_filename_component(name ${source} NAME_WE)
        set(target ${folder}_${name})
        add_executable(${target} ${source})
        target_link_libraries(${target} PRIVATE songwell_testsupport ${ARGN})
        gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60
            PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" LABELS ${folder})
    endforeach()
endfunction()

# songwell_add_xvfb_test(NAME TIMEOUT SECONDS [ENVIRONMENT VARS...] COMMAND ARGS...):
# a test that runs COMMAND inside a private X server, labelled with the
# calling folder's name. Without xvfb-run the test is left out with a warning.
function(songwell_add_xvfb_test name)
    cmake_parse_arguments(PARSE_ARGV 1 xvfb "" "TIMEOUT" "ENVIRONMENT;COMMAND")
    find_program(XVFB_RUN xvfb-run)
    if(NOT XVFB_RUN)
        message(WARNING "xvfb-run not found: ${name} is not registered")
        return()
    endif()
    get_filename_component(folder ${CMAKE_CURRENT_SOURCE_DIR} NAME)
    add_test(NAME ${name} COMMAND ${XVFB_RUN} -a -s "-screen 0 1024x768x24" ${xvfb_COMMAND})
    set(environment QT_QPA_PLATFORM=xcb ${xvfb_ENVIRONMENT})
    set_tests_properties(${name} PROPERTIES
        ENVIRONMENT "${environment}" TIMEOUT ${xvfb_TIMEOUT}
        LABELS ${folder}
        # Parallel xvfb-run -a servers can race for the same display number.
        RESOURCE_LOCK xvfb)
endfunction()
