#!/usr/bin/env bash
# Installs the Windows cross toolchain (mingw-w64, the -posix compilers) and Wine,
# and builds what the Windows build links that Debian does not package for
# mingw: SDL 1.2 and SDL_mixer 1.2 from Debian's own source packages, and
# GoogleTest from /usr/src/googletest, all static, into a prefix in the build
# folder. The prefix is built only when it is missing (or was left half built).
#
#   scripts/windows-deps.sh [build folder]        (default: build-win)
#
# The prefix is <build folder>/deps/prefix; cmake/mingw-w64.cmake looks there.
set -euo pipefail
. "$(dirname "$0")/dpkg-lock.sh"
cd "$(dirname "$0")/.."
root=$PWD
build=$(realpath -m "${1:-build-win}")
deps=$build/deps
prefix=$deps/prefix
host=x86_64-w64-mingw32

packages=(
  # The x86-64 compilers with the posix thread model (std::thread, std::mutex).
  gcc-mingw-w64-x86-64-posix g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev
  # Wine runs the Windows test programs; apt-get source needs dpkg-source.
  wine wine64 dpkg-dev make
  # The installer (makensis) and the zip of the programs and their data.
  nsis zip
  libgtest-dev
)
install_missing_packages "${packages[@]}"

if [ -f "$prefix/.complete" ]; then
  echo "Windows libraries already in $prefix"
  exit 0
fi

rm -rf "$deps"
mkdir -p "$deps/src" "$prefix"
jobs=$(nproc)

# Debian's source packages, fetched through a deb-src entry for the same archive
# apt installs libsdl1.2 from. The entry lives only in a private source list
# (with private package lists) for the length of this fetch, so the system's
# apt configuration and state are left exactly as they were.
archive=$(apt-cache policy libsdl1.2-dev | awk '$1 ~ /^[0-9]+$/ && $2 ~ /^https?:/ { print $2, $3; exit }')
[ -n "$archive" ] || { echo "windows-deps: no Debian archive found for libsdl1.2" >&2; exit 1; }
read -r uri dist_component <<<"$archive"
suite=${dist_component%%/*}
component=${dist_component#*/}
apt_state=$deps/apt
mkdir -p "$apt_state/lists/partial" "$apt_state/cache/archives/partial"
keyring=/usr/share/keyrings/debian-archive-keyring.gpg
options=""
[ -f "$keyring" ] && options="[signed-by=$keyring] "
echo "deb-src ${options}$uri $suite $component" >"$apt_state/sources.list"
apt_private=(-o Dir::Etc::SourceList="$apt_state/sources.list" -o Dir::Etc::SourceParts=/dev/null
             -o Dir::State::Lists="$apt_state/lists" -o Dir::Cache="$apt_state/cache"
             -o Debug::NoLocking=1)
# As root, apt would fetch as its own user, who cannot write into the build folder.
[ "$(id -u)" -eq 0 ] && apt_private+=(-o APT::Sandbox::User=root)
echo "Fetching SDL 1.2 and SDL_mixer 1.2 sources from $uri $suite"
apt-get -qq "${apt_private[@]}" update
(cd "$deps/src" && apt-get -qq "${apt_private[@]}" source libsdl1.2 sdl-mixer1.2 >/dev/null)
rm -rf "$apt_state"

sdl_src=$(find "$deps/src" -maxdepth 1 -type d -name 'libsdl1.2-*' | head -n1)
mixer_src=$(find "$deps/src" -maxdepth 1 -type d -name 'sdl-mixer1.2-*' | head -n1)
[ -n "$sdl_src" ] && [ -n "$mixer_src" ] || { echo "windows-deps: source packages not unpacked" >&2; exit 1; }

export CC=$host-gcc-posix CXX=$host-g++-posix
export PKG_CONFIG_LIBDIR=$prefix/lib/pkgconfig PKG_CONFIG_PATH=

echo "Building SDL 1.2 for $host"
mkdir -p "$deps/sdl-build"
(cd "$deps/sdl-build" &&
  "$sdl_src/configure" -q --host=$host --prefix="$prefix" --disable-shared --enable-static \
    --disable-stdio-redirect &&
  make -s -j"$jobs" &&
  make -s install) >"$deps/sdl.log" 2>&1 || { tail -n 40 "$deps/sdl.log" >&2; exit 1; }

# The mixer plays only WAV here, as the reef's sounds are WAV. Its sample
# programs would need SDLmain, so only the library and its headers are built.
echo "Building SDL_mixer 1.2 (WAV only) for $host"
(cd "$mixer_src" &&
  ./configure -q --host=$host --prefix="$prefix" --disable-shared --enable-static \
    --with-sdl-prefix="$prefix" --disable-sdltest \
    --disable-music-cmd --disable-music-mod --disable-music-mod-modplug --disable-music-mod-mikmod \
    --disable-music-midi --disable-music-timidity-midi --disable-music-native-midi \
    --disable-music-fluidsynth-midi --disable-music-ogg --disable-music-flac --disable-music-mp3 \
    --disable-music-mp3-mad-gpl --disable-smpegtest &&
  mkdir -p build &&
  make -s -j"$jobs" build/libSDL_mixer.la &&
  make -s install-hdrs install-lib) >"$deps/mixer.log" 2>&1 || { tail -n 40 "$deps/mixer.log" >&2; exit 1; }

echo "Building GoogleTest for $host"
cmake -S /usr/src/googletest -B "$deps/gtest-build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" -DREEF_WINDOWS_PREFIX="$prefix" \
  -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_GMOCK=OFF >"$deps/gtest.log" 2>&1 &&
  ninja -C "$deps/gtest-build" -j"$jobs" install >>"$deps/gtest.log" 2>&1 ||
  { tail -n 40 "$deps/gtest.log" >&2; exit 1; }

rm -rf "$deps/src" "$deps/sdl-build" "$deps/gtest-build"
touch "$prefix/.complete"
echo "Windows libraries built in $prefix"
