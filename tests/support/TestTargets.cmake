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
