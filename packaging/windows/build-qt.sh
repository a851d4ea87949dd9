#!/usr/bin/env bash
# Builds Qt 6.4.2's qtbase for 64-bit Windows: Core, Gui, Widgets, Network and Test; the windows,
# offscreen and minimal platform plugins; the windowsvista style. From Debian 12's own qt6-base source
# package (Debian's patches included), with Debian's mingw-w64 compiler in its posix-thread flavour and
# Debian's host Qt tools (QT_HOST_PATH=/usr). The same recipe as ../shared/toolchains, so that its
# archive and this script's result are interchangeable.
#
#   packaging/windows/build-qt.sh [PREFIX] [--tar]
#
# PREFIX defaults to ./qt6.4.2-mingw64; --tar also packs PREFIX.tar.xz. About 25 minutes on 2 idle cores
# (1,174 build steps). Needs root, or sudo, for apt-get. The project's scripts do not call this directly:
# they go through qt-prefix.sh, which takes the shared archive when there is one.
set -euo pipefail

prefix=$(realpath -m "${1:-qt6.4.2-mingw64}")
pack=${2:-}
work=${WORK:-$(mktemp -d)}
mkdir -p "$work"
export DEBIAN_FRONTEND=noninteractive
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)

# apt-get source needs a deb-src line for Debian's main archive, beside the binary one.
if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ && ! grep -qs '^deb-src' /etc/apt/sources.list; then
    uri=$(awk '/^URIs:/ { print $2; exit }' /etc/apt/sources.list.d/debian.sources 2>/dev/null || true)
    [ -n "$uri" ] || uri=$(awk '/^deb / { print $2; exit }' /etc/apt/sources.list)
    printf 'Types: deb-src\nURIs: %s\nSuites: bookworm\nComponents: main\nSigned-By: %s\n' \
        "$uri" /usr/share/keyrings/debian-archive-keyring.gpg |
        "${sudo[@]}" tee /etc/apt/sources.list.d/vrx-config-qt6-src.sources >/dev/null
    "${sudo[@]}" apt-get update -qq
fi
"${sudo[@]}" apt-get install -y -qq --no-install-recommends dpkg-dev cmake ninja-build perl xz-utils \
    qt6-base-dev qt6-base-dev-tools g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix \
    mingw-w64-x86-64-dev binutils-mingw-w64-x86-64 >/dev/null

cd "$work"
# The version the shared archive was made from; any later bookworm revision builds the same way.
apt-get source -qq qt6-base=6.4.2+dfsg-10 >/dev/null 2>&1 || apt-get source -qq qt6-base >/dev/null
src=$(find "$work" -maxdepth 1 -type d -name 'qt6-base-*' | head -1)
[ -n "$src" ] || { echo "build-qt.sh: apt-get source gave no qt6-base folder in $work" >&2; exit 1; }

# The compiler toolchain file. It is installed beside the prefix, and Qt's own toolchain file chains to it.
cat > "$work/mingw64.cmake" <<'TOOLCHAIN'
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
TOOLCHAIN

features=(
    # Debian's source drops the wintab headers (tablets) and sqlite.
    -DFEATURE_tabletevent=OFF -DFEATURE_sql=OFF
    # A Widgets program needs no OpenGL and no Direct2D. Qt 6.4 does not follow these by itself:
    # dynamicgl must go with opengl, and directwrite3 with direct2d, or the windows plugin does not
    # compile or link.
    -DFEATURE_opengl=OFF -DFEATURE_dynamicgl=OFF -DFEATURE_direct2d=OFF -DFEATURE_directwrite3=OFF
    # Not used by the program.
    -DFEATURE_dbus=OFF -DFEATURE_openssl=OFF -DFEATURE_icu=OFF -DFEATURE_glib=OFF -DFEATURE_fontconfig=OFF
    -DFEATURE_pkg_config=OFF -DFEATURE_use_gold_linker_alias=OFF -DFEATURE_printsupport=OFF
    -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF
    # Built in rather than taken from the system; the offscreen plugin needs freetype.
    -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_freetype=OFF
    -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF
)
# The work folder appears as /build in the binaries, so no path of the building machine is left in them.
cmake -S "$src" -B "$work/build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$work/mingw64.cmake" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DCMAKE_C_FLAGS="-ffile-prefix-map=$work=/build" -DCMAKE_CXX_FLAGS="-ffile-prefix-map=$work=/build" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake -DQT_QMAKE_TARGET_MKSPEC=win32-g++ \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DBUILD_WITH_PCH=OFF \
    "${features[@]}" >"$work/configure.log"
cmake --build "$work/build" --parallel "$(nproc)"
cmake --install "$work/build" >/dev/null
cp "$work/mingw64.cmake" "$prefix/mingw64.cmake"
# Relocatable: Qt's toolchain file finds the compiler's beside the prefix, wherever it is unpacked.
sed -i "s|\"$work/mingw64.cmake\"|\"\${CMAKE_CURRENT_LIST_DIR}/../../../mingw64.cmake\"|" \
    "$prefix/lib/cmake/Qt6/qt.toolchain.cmake"
# qmake's metadata names the work folder; it becomes /build here as in the binaries.
grep -rlF "$work" "$prefix" | xargs -r sed -i "s|$work|/build|g"
echo "Qt 6.4.2 for Windows x86_64 installed in $prefix"

if [ "$pack" = "--tar" ]; then
    tar -C "$(dirname "$prefix")" --owner=0 --group=0 --sort=name -cf - "$(basename "$prefix")" |
        xz -9 -T0 >"$prefix.tar.xz"
    (cd "$(dirname "$prefix")" && sha256sum "$(basename "$prefix").tar.xz" >"$prefix.tar.xz.sha256")
    echo "and packed as $prefix.tar.xz"
fi
