#!/bin/sh
# Runs a program of the Windows build under wine: the `windows` preset's CMAKE_CROSSCOMPILING_EMULATOR,
# through which ctest starts every test. The MinGW runtime and the Qt DLLs are found through WINEPATH,
# Qt's plugins through QT_PLUGIN_PATH. A window test gets Qt's windows platform plugin (on the X display
# that scripts/test-windows.sh provides) unless VRX_WINE_QPA names another.
set -e
qt=${VRX_QT_PREFIX:-$("$(dirname "$0")/../packaging/windows/qt-prefix.sh")}
windows_path() { printf 'Z:%s' "$1" | tr / '\\'; }
WINEPATH="$(windows_path /usr/x86_64-w64-mingw32/lib);$(windows_path /usr/lib/gcc/x86_64-w64-mingw32/12-posix);$(windows_path "$qt/bin")"
QT_PLUGIN_PATH=$(windows_path "$qt/plugins")
export WINEPATH QT_PLUGIN_PATH
export WINEDEBUG=${WINEDEBUG:--all}
if [ -n "${QT_QPA_PLATFORM:-}" ]; then
    export QT_QPA_PLATFORM="${VRX_WINE_QPA:-windows}"
fi
# Wine keeps every QT_ variable of the Unix side from a Windows program (they are the Linux Qt's), and
# passes WINEQT_X on as QT_X: the test's own (QT_QPA_PLATFORM, QT_FONT_DPI, ...) go that way.
for name in $(env | sed -n 's/^\(QT_[A-Za-z0-9_]*\)=.*/\1/p'); do
    export "WINE$name=$(printenv "$name")"
done
# A QtTest program's log never reaches a pipe from wine: it writes it to a file, shown afterwards.
case "$(basename "$1")" in
tst_*.exe)
    log=$(mktemp)
    status=0
    wine "$@" -o "$(windows_path "$log"),txt" || status=$?
    cat "$log"
    rm -f "$log"
    exit "$status"
    ;;
esac
exec wine "$@"
