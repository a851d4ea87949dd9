#!/usr/bin/env bash
# packaging/windows/build.sh: the Windows programs of VRX Config, from a clone of this repository on
# Debian 12, in one command. Installs the Debian packages it needs (through sudo when not root), takes
# Qt for Windows from ../shared/toolchains (or builds it, see qt-prefix.sh), cross-builds Release without
# tests and benchmarks, and makes in out/:
#   vrx-config-<version>-win64.zip        portable: unzip anywhere and run vrx-config.exe
#   vrx-config-<version>-win64-setup.exe  the installer (installer.nsi)
# Environment: JOBS (default 2), VRX_WINDOWS_BUILD (default build-windows-release; a Release tree that is
# configured already, such as the `windows` preset's build-win, is built as it is), VRX_WINDOWS_OUT (out).
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
build=${VRX_WINDOWS_BUILD:-$repo/build-windows-release}
out=${VRX_WINDOWS_OUT:-$repo/out}
jobs=${JOBS:-2}
started=$(date +%s)
step() { printf '== %s (%ss)\n' "$*" $(($(date +%s) - started)); }

step "Debian packages"
packages=(cmake ninja-build g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
    mingw-w64-x86-64-dev qt6-base-dev qt6-base-dev-tools qt6-tools-dev qt6-l10n-tools qt6-translations-l10n nsis zip
    xz-utils)
missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    echo "installing: ${missing[*]}"
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

step "Qt for Windows"
qt=$("$here/qt-prefix.sh")
echo "$qt"

step "Cross-building Release"
if [ -n "${VRX_WINDOWS_BUILD:-}" ] && [ -f "$build/CMakeCache.txt" ]; then
    # A Release tree made already, such as the `windows` preset's build-win that CI tests under wine:
    # the programs tested are the programs shipped, and Windows is cross-built once.
    grep -q '^CMAKE_BUILD_TYPE:[A-Z]*=Release$' "$build/CMakeCache.txt" ||
        { echo "build.sh: $build is not a Release build" >&2; exit 1; }
else
    cmake -S "$repo" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake" \
        -DVRX_BUILD_TESTS=OFF -DVRX_BUILD_BENCH=OFF >"$build.configure.log" ||
        { cat "$build.configure.log"; exit 1; }
fi
cmake --build "$build" --parallel "$jobs" --target vrx-config vrxctl vrx-reader-sim
# The window opens no console; the two command-line programs are console programs.
subsystem() { x86_64-w64-mingw32-objdump -p "$build/bin/$1" | awk '/^Subsystem/ { print $3, $4 }'; }
for expected in "vrx-config.exe (Windows GUI)" "vrxctl.exe (Windows CUI)" "vrx-reader-sim.exe (Windows CUI)"; do
    program=${expected%% *}
    [ "$program $(subsystem "$program")" = "$expected" ] ||
        { echo "build.sh: $program is not $(echo "${expected#* }" | tr -d '()')" >&2; exit 1; }
done
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
[ -n "$version" ] || { echo "build.sh: no project version in $build/CMakeCache.txt" >&2; exit 1; }

step "Staging vrx-config $version"
name=vrx-config-$version-win64
stage=$build/stage/$name
rm -rf "$build/stage"
mkdir -p "$stage/platforms" "$stage/styles" "$stage/translations"
programs=(vrx-config.exe vrxctl.exe vrx-reader-sim.exe)
for program in "${programs[@]}"; do
    x86_64-w64-mingw32-strip -o "$stage/$program" "$build/bin/$program"
done
cp "$qt/plugins/platforms/qwindows.dll" "$stage/platforms/"
cp "$qt/plugins/styles/qwindowsvistastyle.dll" "$stage/styles/"
# Every DLL the programs and the plugins import, from Qt and from the compiler's runtime.
runtime="$qt/bin:/usr/lib/gcc/x86_64-w64-mingw32/12-posix:/usr/x86_64-w64-mingw32/lib"
"$here/collect-dlls.sh" "$runtime" "${programs[@]/#/$stage/}" "$stage/platforms/qwindows.dll" \
    "$stage/styles/qwindowsvistastyle.dll" | while read -r dll; do cp "$dll" "$stage/"; done
# Debian's runtime DLLs carry their debugging sections (libstdc++-6.dll is 24 MB, 2 MB without).
find "$stage" -name '*.dll' -exec x86_64-w64-mingw32-strip --strip-unneeded {} +
for dll in libgcc_s_seh-1.dll libstdc++-6.dll libwinpthread-1.dll Qt6Core.dll Qt6Network.dll Qt6Widgets.dll; do
    [ -f "$stage/$dll" ] || { echo "build.sh: $dll was not found by the import walk" >&2; exit 1; }
done
# The toolkit's own texts (file dialogs, context menus) in Chinese, from Debian's qt6-translations-l10n.
cp /usr/share/qt6/translations/qtbase_zh_CN.qm "$stage/translations/"
# Qt finds its plugins and translations beside the program, wherever it was unzipped or installed.
printf '[Paths]\r\nPrefix = .\r\nPlugins = .\r\nTranslations = translations\r\n' >"$stage/qt.conf"
sed 's/$/\r/' "$repo/packaging/debian/copyright" >"$stage/copyright.txt"
(cd "$stage" && find . -type f | sort | sed 's|^\./||' | xargs stat -c '%10s  %n')

step "Zip"
mkdir -p "$out"
rm -f "$out/$name.zip"
(cd "$build/stage" && zip -q -r -9 -X "$out/$name.zip" "$name")

step "Installer"
lists=$build/nsis
rm -rf "$lists"
mkdir -p "$lists"
"$here/make-ico.sh" "$lists/vrx-config.ico" \
    "$repo"/packaging/icons/hicolor/{16x16,24x24,32x32,48x48,64x64,256x256}/apps/io.github.vrxconfig.VrxConfig.png
# One File line per staged file, and the uninstaller deletes exactly those, folders deepest first.
# shellcheck disable=SC2016 # $INSTDIR in these lists is makensis's, not the shell's
(
    cd "$stage"
    find . -type f | sort | sed 's|^\./||' | while read -r file; do
        dir=$(dirname "$file")
        win=${file//\//\\}
        [ "$dir" = . ] && printf 'SetOutPath "$INSTDIR"\n' || printf 'SetOutPath "$INSTDIR\\%s"\n' "${dir//\//\\}"
        printf 'File "%s\\%s"\n' "$stage" "$win"
    done >"$lists/install-files.nsh"
    find . -type f | sort | sed 's|^\./||; s|/|\\|g' | sed 's|.*|Delete "$INSTDIR\\&"|' >"$lists/uninstall-files.nsh"
    find . -mindepth 1 -type d | sort -r | sed 's|^\./||; s|/|\\|g' | sed 's|.*|RMDir "$INSTDIR\\&"|' \
        >>"$lists/uninstall-files.nsh"
)
rm -f "$out/$name-setup.exe"
makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DSTAGE="$stage" -DFILELIST="$lists" \
    -DICON="$lists/vrx-config.ico" -DOUTFILE="$out/$name-setup.exe" "$here/installer.nsi"

step "Done"
stat -c '%10s  %n' "$out/$name.zip" "$out/$name-setup.exe"
echo "build.sh took $(($(date +%s) - started)) s"
