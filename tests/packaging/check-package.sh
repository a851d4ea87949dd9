#!/usr/bin/env bash
# Builds the Debian package in a fresh build directory, checks it with lintian and the desktop
# validators, installs it into this machine, uses it as an ordinary user against a simulated
# reader, and removes it again, checking that nothing is left behind.
#
# Needs root: it installs and removes the package and creates a throw-away user. Not part of
# ctest for that reason.
#
#   tests/packaging/check-package.sh [--build-dir DIR] [--screenshot FILE.png] [--keep-build]
#
# --build-dir    where to build (must not exist yet, or be empty); default: a new temporary one
# --screenshot   also start the installed window from its desktop entry under Xvfb, as the
#                ordinary user, and save a picture of the screen in FILE.png
set -euo pipefail

source_dir=$(cd "$(dirname "$0")/../.." && pwd)
build_dir=""
screenshot=""
keep_build=0
while [ $# -gt 0 ]; do
    case "$1" in
        --build-dir) build_dir=$2; shift 2 ;;
        --screenshot) screenshot=$(realpath -m "$2"); shift 2 ;;
        --keep-build) keep_build=1; shift ;;
        *) echo "usage: $0 [--build-dir DIR] [--screenshot FILE.png] [--keep-build]" >&2; exit 2 ;;
    esac
done

step() { printf '\n=== %s\n' "$*"; }
fail() { printf 'FAIL: %s\n' "$*" >&2; exit 1; }
pass() { printf 'ok: %s\n' "$*"; }

[ "$(id -u)" -eq 0 ] || fail "run as root: the script installs the package into this machine"
if dpkg-query -W -f='${Status}' vrx-config 2>/dev/null | grep -q 'installed'; then
    fail "vrx-config is already installed; remove it first (dpkg --purge vrx-config)"
fi

# shellcheck source=../../scripts/ensure-deps.sh
. "$source_dir/scripts/ensure-deps.sh"
extra=(lintian desktop-file-utils appstream libcap2-bin iproute2 passwd util-linux)
[ -n "$screenshot" ] && extra+=(xvfb xauth imagemagick xdotool libgtk-3-bin)
vrx_ensure_packages "${extra[@]}"

if [ -z "$build_dir" ]; then
    build_dir=$(mktemp -d /tmp/vrx-package-check.XXXXXX)
elif [ -e "$build_dir" ] && [ -n "$(ls -A "$build_dir")" ]; then
    fail "$build_dir is not empty; give a new directory for a fresh build"
fi
work=$(mktemp -d /tmp/vrx-package-work.XXXXXX)
chmod 755 "$work"

user=vrx-pkg-check
created_user=0
installed=0
sim_pid=""
cleanup() {
    local rc=$?
    [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null && wait "$sim_pid" 2>/dev/null
    if [ "$installed" -eq 1 ]; then dpkg --purge vrx-config >/dev/null 2>&1 || true; fi
    if [ "$created_user" -eq 1 ]; then userdel -r "$user" >/dev/null 2>&1 || true; fi
    rm -rf "$work"
    if [ "$keep_build" -eq 0 ]; then rm -rf "$build_dir"; else echo "build kept in $build_dir"; fi
    [ "$rc" -eq 0 ] && printf '\nALL CHECKS PASSED\n' || printf '\nCHECKS FAILED (exit %s)\n' "$rc"
}
trap cleanup EXIT

step "Build in $build_dir"
cmake -S "$source_dir" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DVRX_BUILD_TESTS=OFF -DVRX_BUILD_BENCH=OFF -DVRX_BUILD_FUZZ=OFF >"$work/configure.log" \
    || { cat "$work/configure.log"; fail "configure"; }
cmake --build "$build_dir" >"$work/build.log" || { tail -40 "$work/build.log"; fail "build"; }
for program in vrx-config vrxctl vrx-reader-sim; do
    [ -x "$build_dir/bin/$program" ] || fail "the build made no $program"
done
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build_dir/CMakeCache.txt")
pass "built vrx-config, vrxctl and vrx-reader-sim, version $version"

step "Package"
(cd "$build_dir" && cpack -G DEB >"$work/cpack.log") || { cat "$work/cpack.log"; fail "cpack"; }
deb=$(ls "$build_dir"/vrx-config_*.deb)
pass "$(basename "$deb")"
dpkg-deb --field "$deb" Package Version Depends

step "lintian"
lintian --display-info --pedantic "$deb" 2>&1 | grep -v '^running with root' | tee "$work/lintian.txt" || true
printf 'errors: %s  warnings: %s  info: %s  pedantic: %s\n' \
    "$(grep -c '^E:' "$work/lintian.txt" || true)" "$(grep -c '^W:' "$work/lintian.txt" || true)" \
    "$(grep -c '^I:' "$work/lintian.txt" || true)" "$(grep -c '^P:' "$work/lintian.txt" || true)"
grep -q '^E:' "$work/lintian.txt" && fail "lintian reports errors"
pass "lintian: no errors"

step "Desktop entry and metainfo"
dpkg-deb -x "$deb" "$work/root"
desktop=$(ls "$work"/root/usr/share/applications/*.desktop)
desktop-file-validate "$desktop" || fail "desktop-file-validate $(basename "$desktop")"
pass "desktop-file-validate $(basename "$desktop")"
appstreamcli validate --no-net "$work"/root/usr/share/metainfo/*.metainfo.xml \
    || fail "appstreamcli validate"
pass "appstreamcli validate"

step "Install"
find / -xdev \( -path /proc -o -path /sys -o -path /tmp -o -path /run -o -path /dev -o -path /root \
    -o -path /home -o -path /var/log -o -path /var/cache -o -path /var/lib/dpkg -o -path /var/tmp \
    -o -path /work \) -prune -o -print 2>/dev/null | sort >"$work/before.txt"
dpkg -i "$deb"
installed=1
dpkg-query -W -f='${Package} ${Version} ${Status}\n' vrx-config
for program in vrx-config vrxctl; do
    caps=$(getcap "/usr/bin/$program")
    echo "$caps"
    case "$caps" in *cap_net_bind_service*) ;; *) fail "$program lacks cap_net_bind_service" ;; esac
done
[ -z "$(getcap /usr/bin/vrx-reader-sim)" ] || fail "vrx-reader-sim was given a capability"
pass "cap_net_bind_service on vrx-config and vrxctl only"
man -w vrxctl vrx-reader-sim vrx-config >/dev/null || fail "manual pages not found by man"
pass "man finds vrxctl(1), vrx-reader-sim(1) and vrx-config(1)"

step "As an ordinary user"
if ! id "$user" >/dev/null 2>&1; then
    useradd --create-home --shell /bin/sh --comment "vrx-config package check" "$user"
    created_user=1
fi
as_user() { runuser -u "$user" -- "$@"; }
echo "user: $(as_user id)"
echo "unprivileged ports start at $(cat /proc/sys/net/ipv4/ip_unprivileged_port_start)"

out=$(as_user vrxctl --version)
echo "\$ vrxctl --version"
echo "$out"
case "$out" in *"$version"*) ;; *) fail "vrxctl --version does not say $version" ;; esac
pass "vrxctl --version says $version"

# The simulated reader binds port 1001, a privileged port, so it runs as root here.
vrx-reader-sim --address 127.0.0.101 >"$work/sim.log" 2>&1 &
sim_pid=$!
timeout 10 sh -c 'until ss -Hlun "sport = :1001" | grep -q "127.0.0.101:1001"; do sleep 0.1; done' \
    || { cat "$work/sim.log"; fail "the simulated reader did not bind 127.0.0.101:1001"; }
pass "vrx-reader-sim listens on 127.0.0.101:1001"

echo "\$ vrxctl read 127.0.0.101 --local 127.0.0.1"
rc=0
as_user vrxctl read 127.0.0.101 --local 127.0.0.1 >"$work/read.txt" 2>&1 || rc=$?
cat "$work/read.txt"
[ "$rc" -eq 0 ] || fail "vrxctl read as $user ended with $rc"
grep -q '127.0.0.101' "$work/read.txt" || fail "vrxctl read did not show the reader's address"
pass "vrxctl read as $user bound 127.0.0.1:1000 and read the simulated reader"

# The same program without the capability: the port is refused, which shows that it is the
# capability that lets the installed vrxctl bind it.
cp /usr/bin/vrxctl "$work/vrxctl-without-capability"
echo "\$ vrxctl-without-capability read 127.0.0.101 --local 127.0.0.1"
rc=0
as_user "$work/vrxctl-without-capability" read 127.0.0.101 --local 127.0.0.1 || rc=$?
[ "$rc" -eq 3 ] || fail "without the capability vrxctl ended with $rc, not 3 (socket error)"
pass "without the capability the bind is refused (exit 3)"

kill "$sim_pid"
wait "$sim_pid" 2>/dev/null || true
sim_pid=""
echo "simulated reader's log:"
sed 's/^/  /' "$work/sim.log"

if [ -n "$screenshot" ]; then
    step "Start the window from its desktop entry under Xvfb"
    app_id=$(basename "$desktop" .desktop)
    cat >"$work/shoot.sh" <<EOF
#!/bin/sh
# Runs inside xvfb-run as the ordinary user: open the menu entry, wait for its window, take a
# picture of it, then close that one process.
gtk-launch "$app_id" || exit 10
window=\$(timeout 20 xdotool search --sync --onlyvisible --name VRX | head -n 1)
[ -n "\$window" ] || exit 11
import -window "\$window" "$work/shot/installed.png" || exit 12
pid=\$(xdotool getwindowpid "\$window")
[ -n "\$pid" ] && kill "\$pid"
exit 0
EOF
    chmod 755 "$work/shoot.sh"
    install -d -o "$user" -m 700 "$work/shot" "$work/runtime"
    as_user env HOME="/home/$user" XDG_RUNTIME_DIR="$work/runtime" xvfb-run -a -s "-screen 0 1280x960x24" "$work/shoot.sh" \
        || fail "the window did not appear after gtk-launch $app_id"
    install -m 644 "$work/shot/installed.png" "$screenshot"
    echo "written by the window into the user's home folder:"
    find "/home/$user" -path "/home/$user/.cache" -prune -o -type f -newer "$work/shoot.sh" -print \
        | sed 's/^/  /'
    pass "screenshot saved as $screenshot"
fi

step "Remove"
dpkg --purge vrx-config
installed=0
dpkg-query -W -f='${Status}\n' vrx-config 2>/dev/null | grep -q 'installed' \
    && fail "dpkg still lists vrx-config"
ls /var/lib/dpkg/info/vrx-config.* >/dev/null 2>&1 && fail "dpkg's records of vrx-config remain"
find / -xdev \( -path /proc -o -path /sys -o -path /tmp -o -path /run -o -path /dev -o -path /root \
    -o -path /home -o -path /var/log -o -path /var/cache -o -path /var/lib/dpkg -o -path /var/tmp \
    -o -path /work \) -prune -o -print 2>/dev/null | sort >"$work/after.txt"
# Other work on this machine may change unrelated files meanwhile; what counts is that
# nothing of this package remains: no path of its contents, nothing named after it.
comm -13 "$work/before.txt" "$work/after.txt" >"$work/new.txt"
if [ -s "$work/new.txt" ]; then
    echo "new since the install, not named after the package:"
    grep -v -i 'vrx' "$work/new.txt" | sed 's/^/  /' || true
fi
grep -i 'vrx' "$work/new.txt" && fail "files of the package were left behind"
dpkg-deb --fsys-tarfile "$deb" | tar -t | sed 's|^\./|/|; s|/$||' | while read -r path; do
    [ -z "$path" ] && continue
    if [ -e "$path" ] && ! grep -qxF "$path" "$work/before.txt"; then
        echo "left behind: $path"
        exit 1
    fi
done || fail "paths of the package were left behind"
pass "purged: no path of the package is left and nothing named after it"
