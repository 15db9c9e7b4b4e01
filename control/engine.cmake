# The audio device layer plays through SDL2's audio subsystem.
find_package(SDL2 REQUIRED)
target_link_libraries(audiocore_engine PUBLIC SDL2::SDL2)
