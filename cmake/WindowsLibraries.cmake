# What the Windows build links, under the names the Linux build's targets use:
# SDL 1.2 and SDL_mixer 1.2 built static by scripts/windows-deps.sh (without
# SDLmain: the programs and suites have their own main), OpenGL and GLU from
# the mingw-w64 import libraries.
if(NOT EXISTS ${REEF_WINDOWS_PREFIX}/.complete)
  message(FATAL_ERROR "No Windows libraries in ${REEF_WINDOWS_PREFIX}: run scripts/windows-deps.sh <build folder> first")
endif()

# <windows.h> without its min/max macros and rarely used parts; wide Win32 calls.
add_compile_definitions(NOMINMAX WIN32_LEAN_AND_MEAN UNICODE _UNICODE)

find_library(REEF_SDL_LIBRARY SDL REQUIRED NO_DEFAULT_PATH PATHS ${REEF_WINDOWS_PREFIX}/lib)
find_library(REEF_SDL_MIXER_LIBRARY SDL_mixer REQUIRED NO_DEFAULT_PATH PATHS ${REEF_WINDOWS_PREFIX}/lib)

# Static imported libraries, so that the linker sees the mixer before SDL.
add_library(PkgConfig::SDL STATIC IMPORTED)
set_target_properties(PkgConfig::SDL PROPERTIES IMPORTED_LOCATION ${REEF_SDL_LIBRARY})
# Both spellings of the include: <SDL.h> and <SDL/SDL.h>.
target_include_directories(PkgConfig::SDL INTERFACE ${REEF_WINDOWS_PREFIX}/include/SDL ${REEF_WINDOWS_PREFIX}/include)
# The system libraries SDL's Windows drivers call (its sdl-config --static-libs).
target_link_libraries(PkgConfig::SDL INTERFACE user32 gdi32 winmm dxguid)

add_library(PkgConfig::SDL_MIXER STATIC IMPORTED)
set_target_properties(PkgConfig::SDL_MIXER PROPERTIES IMPORTED_LOCATION ${REEF_SDL_MIXER_LIBRARY})
target_link_libraries(PkgConfig::SDL_MIXER INTERFACE PkgConfig::SDL)

find_package(OpenGL REQUIRED COMPONENTS OpenGL)
