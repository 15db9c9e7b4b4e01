# The audio device layer plays through SDL2's audio subsystem, loaded at run
# time (control/SdlLibrary.cpp): only SDL's headers are needed to build.
find_package(SDL2 REQUIRED)
get_target_property(sdl2_includes SDL2::SDL2 INTERFACE_INCLUDE_DIRECTORIES)
target_include_directories(audiocore_engine PRIVATE ${sdl2_includes})
target_link_libraries(audiocore_engine PUBLIC ${CMAKE_DL_LIBS})
