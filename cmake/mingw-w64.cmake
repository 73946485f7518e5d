# Cross-compiling for 64-bit Windows with mingw-w64 on Debian:
#   cmake -S . -B build-win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
# The -posix compilers: the -win32 thread model has no std::thread or std::mutex,
# which GoogleTest needs. Programs link libgcc and libstdc++ statically, so they
# import only system DLLs (-static also takes winpthread in). Tests run through Wine.
#
# The libraries Debian does not package for mingw (SDL 1.2, SDL_mixer 1.2,
# GoogleTest) come from scripts/windows-deps.sh, which builds them into
# <build folder>/deps/prefix; REEF_WINDOWS_PREFIX names another prefix.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(REEF_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${REEF_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${REEF_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${REEF_MINGW_TRIPLET}-windres)

# try_compile projects read this file again in their own folder: hand them the prefix.
if(NOT REEF_WINDOWS_PREFIX)
  if(DEFINED ENV{REEF_WINDOWS_PREFIX})
    set(REEF_WINDOWS_PREFIX $ENV{REEF_WINDOWS_PREFIX})
  else()
    set(REEF_WINDOWS_PREFIX ${CMAKE_BINARY_DIR}/deps/prefix)
  endif()
endif()
set(REEF_WINDOWS_PREFIX ${REEF_WINDOWS_PREFIX} CACHE PATH "Where scripts/windows-deps.sh installed SDL, SDL_mixer and GoogleTest")
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES REEF_WINDOWS_PREFIX)

# Headers and libraries only from the mingw sysroot and the prefix; programs
# (the code generators, pkg-config) from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${REEF_MINGW_TRIPLET} ${REEF_WINDOWS_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(ENV{PKG_CONFIG_LIBDIR} ${REEF_WINDOWS_PREFIX}/lib/pkgconfig)
set(ENV{PKG_CONFIG_PATH} "")

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++")

find_program(REEF_WINE NAMES wine wine64 REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${REEF_WINE})
