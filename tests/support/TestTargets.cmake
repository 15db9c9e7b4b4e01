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

# The pointer of the Wayland tests: a virtual pointer on the headless sway's
# seat, which has no input device of its own. Its protocol's client code is
# made from the XML with wayland-scanner.
find_program(WAYLAND_SCANNER wayland-scanner)
find_package(PkgConfig QUIET)
if(PkgConfig_FOUND)
    pkg_check_modules(WAYLAND_CLIENT QUIET IMPORTED_TARGET wayland-client)
endif()
if(WAYLAND_SCANNER AND WAYLAND_CLIENT_FOUND AND NOT TARGET songwell_wayland_pointer)
    set(protocol ${CMAKE_CURRENT_LIST_DIR}/wayland/virtual-pointer-unstable-v1.xml)
    set(generated ${CMAKE_BINARY_DIR}/tests/wayland)
    add_custom_command(
        OUTPUT ${generated}/virtual-pointer-unstable-v1-client-protocol.h
               ${generated}/virtual-pointer-unstable-v1-protocol.c
        COMMAND ${CMAKE_COMMAND} -E make_directory ${generated}
        COMMAND ${WAYLAND_SCANNER} client-header ${protocol}
                ${generated}/virtual-pointer-unstable-v1-client-protocol.h
        COMMAND ${WAYLAND_SCANNER} private-code ${protocol}
                ${generated}/virtual-pointer-unstable-v1-protocol.c
        DEPENDS ${protocol} VERBATIM)
    add_executable(songwell_wayland_pointer ${CMAKE_CURRENT_LIST_DIR}/wayland/wayland_pointer.c
                   ${generated}/virtual-pointer-unstable-v1-protocol.c)
    set_source_files_properties(${generated}/virtual-pointer-unstable-v1-protocol.c
                                PROPERTIES LANGUAGE C)
    target_include_directories(songwell_wayland_pointer PRIVATE ${generated})
    target_link_libraries(songwell_wayland_pointer PRIVATE PkgConfig::WAYLAND_CLIENT)
endif()

# songwell_add_wayland_test(NAME TIMEOUT SECONDS [ENVIRONMENT VARS...] COMMAND ARGS...):
# a test that runs COMMAND as a native Wayland client of a private headless
# sway (tests/support/wayland/run_in_sway.sh), labelled with the calling
# folder's name and "wayland". It finds the pointer helper in
# SONGWELL_WAYLAND_POINTER. Without the helper's build tools the test is left
# out with a warning; without sway it reports itself skipped.
function(songwell_add_wayland_test name)
    cmake_parse_arguments(PARSE_ARGV 1 wayland "" "TIMEOUT" "ENVIRONMENT;COMMAND")
    if(NOT TARGET songwell_wayland_pointer)
        message(WARNING "wayland-scanner or wayland-client not found: ${name} is not registered")
        return()
    endif()
    get_filename_component(folder ${CMAKE_CURRENT_SOURCE_DIR} NAME)
    add_test(NAME ${name}
             COMMAND ${PROJECT_SOURCE_DIR}/tests/support/wayland/run_in_sway.sh ${wayland_COMMAND})
    set(environment QT_QPA_PLATFORM=wayland
        SONGWELL_WAYLAND_POINTER=$<TARGET_FILE:songwell_wayland_pointer> ${wayland_ENVIRONMENT})
    set_tests_properties(${name} PROPERTIES
        ENVIRONMENT "${environment}" TIMEOUT ${wayland_TIMEOUT}
        LABELS "${folder};wayland" SKIP_RETURN_CODE 77)
endfunction()
