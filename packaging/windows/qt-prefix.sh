#!/usr/bin/env bash
# Prints the folder of Qt 6.4.2 for 64-bit Windows that the project's Windows builds use, making it first
# when needed:
#   1. VRX_QT_PREFIX, when it names such a folder;
#   2. otherwise the archive ../shared/toolchains/qt6.4.2-mingw64.tar.xz beside the checkout (or beside
#      the main checkout of a git worktree), once its sha256 matches the .sha256 file beside it: unpacked
#      into the user's cache, and unpacked again only when the archive changes;
#   3. otherwise built from Debian's source with build-qt.sh (about 25 minutes), into the same cache.
# Messages go to standard error, the folder alone to standard output.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
name=qt6.4.2-mingw64
cache=${VRX_QT_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/vrx-config}
prefix=$cache/$name
toolchain=lib/cmake/Qt6/qt.toolchain.cmake

if [ -n "${VRX_QT_PREFIX:-}" ]; then
    [ -f "$VRX_QT_PREFIX/$toolchain" ] || { echo "qt-prefix.sh: VRX_QT_PREFIX has no $toolchain" >&2; exit 1; }
    echo "$VRX_QT_PREFIX"
    exit 0
fi

archive=${VRX_QT_ARCHIVE:-}
if [ -z "$archive" ]; then
    main=$(git -C "$repo" rev-parse --path-format=absolute --git-common-dir 2>/dev/null || true)
    for shared in "$repo/../shared/toolchains" ${main:+"$(dirname "$main")/../shared/toolchains"}; do
        if [ -f "$shared/$name.tar.xz" ]; then
            archive=$(realpath "$shared/$name.tar.xz")
            break
        fi
    done
fi

mkdir -p "$cache"
exec 9>"$cache/.$name.lock"
flock 9 # one unpacking or build at a time; the others wait and then find it done

stamp=$prefix/.unpacked-from
if [ -n "$archive" ]; then
    [ -f "$archive.sha256" ] || { echo "qt-prefix.sh: no $archive.sha256 to check the archive against" >&2; exit 1; }
    expected=$(awk '{ print $1; exit }' "$archive.sha256")
    actual=$(sha256sum "$archive" | awk '{ print $1 }')
    if [ "$actual" != "$expected" ]; then
        echo "qt-prefix.sh: $archive does not match its sha256 ($actual, expected $expected)" >&2
        exit 1
    fi
    if [ ! -f "$stamp" ] || [ "$(cat "$stamp")" != "$actual" ] || [ ! -f "$prefix/$toolchain" ]; then
        echo "qt-prefix.sh: unpacking $archive into $cache" >&2
        rm -rf "$prefix" "$prefix.partial"
        mkdir "$prefix.partial"
        tar -xJf "$archive" -C "$prefix.partial"
        mv "$prefix.partial/$name" "$prefix"
        rmdir "$prefix.partial"
        echo "$actual" >"$stamp"
    fi
elif [ ! -f "$prefix/$toolchain" ]; then
    echo "qt-prefix.sh: no $name.tar.xz found; building Qt from Debian's source (about 25 minutes)" >&2
    rm -rf "$prefix"
    "$here/build-qt.sh" "$prefix" >&2
    echo "built" >"$stamp"
fi
echo "$prefix"
