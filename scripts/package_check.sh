#!/usr/bin/env bash
# CI stage: the Debian packages as a user gets them.
#
#   1. scripts/package.sh builds quellix and quellix-tools (lintian clean).
#   2. apt-get installs both .deb files, resolving their dependencies.
#   3. Under Xvfb with openbox, /usr/bin/quellix --simulate shows its window
#      from the installed skin; a screenshot of the screen is not blank;
#      SIGTERM ends it with exit status 0.
#   4. The application menu entry's Exec line starts the installed program,
#      which shows its window (devices served by the installed quellix-sim).
#   5. quellixctl --help answers.
#   6. apt-get purge removes both packages and every path they installed.
#
#   scripts/package_check.sh [OUT_DIR]   (default out/deb; root: installs packages)
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=scripts/lib/x_session.sh
. scripts/lib/x_session.sh
if [[ $(id -u) -ne 0 ]]; then
    echo "package check: run as root (it installs and purges the packages)" >&2
    exit 1
fi
out=$(realpath -m "${1:-out/deb}")
packages=(quellix quellix-tools)
title="Quellix T417 Gaming Mouse pad Driver"
export DEBIAN_FRONTEND=noninteractive

installed() { dpkg-query -W -f='${db:Status-Status}' "$1" 2>/dev/null | grep -qv '^not-installed$'; }
purge() { apt-get purge -y -qq "${packages[@]}" >/dev/null 2>&1 || true; }

work=$(mktemp -d)
cleanup() {
    [[ -n ${app_pid:-} ]] && kill "$app_pid" 2>/dev/null || true
    [[ -n ${sim_pid:-} ]] && kill "$sim_pid" 2>/dev/null || true
    [[ -n ${wm_pid:-} ]] && kill "$wm_pid" 2>/dev/null || true
    [[ -n ${xvfb_pid:-} ]] && kill "$xvfb_pid" 2>/dev/null || true
    wait 2>/dev/null || true
    # A failed run leaves nothing installed behind it.
    [[ -n ${installed_here:-} ]] && purge
    rm -rf "$work"
}
trap cleanup EXIT

echo "1. build the packages"
scripts/package.sh "$out"
quellix_deb=$(ls "$out"/quellix_*.deb)
tools_deb=$(ls "$out"/quellix-tools_*.deb)
dpkg-deb -c "$quellix_deb" >"$work/quellix.contents"
dpkg-deb -c "$tools_deb" >"$work/tools.contents"
check "quellix-sim is in quellix-tools only" \
    bash -c "grep -q ' ./usr/bin/quellix-sim$' '$work/tools.contents' &&
             ! grep -q quellix-sim '$work/quellix.contents'"
check "no test or build leftovers in the package" \
    bash -c "! grep -E 'make_defaults|CMakeLists|\\.cpp$|_test' '$work/quellix.contents'"

echo "2. apt-get install the packages"
for p in "${packages[@]}"; do
    if installed "$p"; then
        echo "  $p was installed before: purging it first"
        purge
    fi
done
etc_quellix_before=$([[ -e /etc/quellix ]] && echo yes || echo no)
installed_here=1
apt-get install -y -qq "$quellix_deb" "$tools_deb" >"$work/apt.log" 2>&1 || {
    cat "$work/apt.log"
    exit 1
}
dpkg -L "${packages[@]}" | sort -u >"$work/files"
echo "  $(wc -l <"$work/files") paths installed"
for path in /usr/bin/quellix /usr/bin/quellixctl /usr/bin/quellix-sim \
    /usr/share/quellix/skin/res.xml /usr/share/quellix/defaults/msdevicedefault.config \
    /usr/share/applications/quellix.desktop /etc/xdg/autostart/quellix-autostart.desktop \
    /usr/lib/udev/rules.d/70-quellix.rules /usr/share/icons/hicolor/48x48/apps/quellix.png \
    /usr/share/man/man1/quellix.1.gz; do
    check "installed: $path" grep -qx "$path" "$work/files"
done
check "the udev rule tags the devices for the user at the seat (uaccess)" \
    grep -q 'TAG+="uaccess"' /usr/lib/udev/rules.d/70-quellix.rules
check "installing reloads udev's rules and applies them to the hidraw nodes" \
    grep -q 'udevadm trigger --subsystem-match=hidraw' /var/lib/dpkg/info/quellix.postinst

# The installed programs only: no build tree on the PATH, started from
# elsewhere, with a home and settings of their own.
export PATH=/usr/sbin:/usr/bin:/sbin:/bin
mkdir -p "$work/home"
run_env=(HOME="$work/home" QUELLIX_DOCUMENTS_DIR="$work/home/Documents"
    QUELLIX_INSTANCE_NAME="quellix-package-$$" QUELLIX_DEBUG=1)
cd "$work"

window_state() { # IsViewable | IsUnMapped, waits up to 20 s
    for _ in $(seq 200); do
        xwininfo -display ":$display" -name "$title" 2>/dev/null | grep -q "Map State: $1" &&
            return 0
        sleep 0.1
    done
    return 1
}
not_blank() { # the screen shows many colours, not one flat fill
    local colours
    colours=$(convert "$1" -format '%k' info:)
    echo "  $colours colours on the screen"
    ((colours > 64))
}
terminated_with_0() {
    kill -TERM "$app_pid"
    local status=0
    wait "$app_pid" || status=$?
    app_pid=
    echo "  exit status $status"
    ((status == 0))
}

start_xvfb 1000x700x24
start_openbox
export DISPLAY=":$display"

echo "3. /usr/bin/quellix --simulate"
env "${run_env[@]}" /usr/bin/quellix --simulate >"$work/program.log" 2>&1 &
app_pid=$!
check "the window is shown" window_state IsViewable
sleep 1
import -window root "$work/installed.png"
check "the screenshot is not blank" not_blank "$work/installed.png"
check "no skin file is missing" bash -c "! grep -iE 'cannot be read|not found' '$work/program.log'"
check "SIGTERM ends it with exit status 0" terminated_with_0
mkdir -p "$out"
cp "$work/installed.png" "$out/installed.png"

echo "4. the application menu entry"
exec_line=$(sed -n 's/^Exec=//p' /usr/share/applications/quellix.desktop)
read -ra argv <<<"$exec_line"
args=()
for a in "${argv[@]:1}"; do [[ $a == %? ]] || args+=("$a"); done # field codes
check "Exec=$exec_line starts /usr/bin/quellix" \
    test "$(readlink -f "$(command -v "${argv[0]}")")" = /usr/bin/quellix
quellix-sim serve --devices mouse,pad,keyboard --dir "$work/sim" >"$work/sim.out" &
sim_pid=$!
for _ in $(seq 100); do [[ -s $work/sim.out ]] && break; sleep 0.1; done
env "${run_env[@]}" QUELLIX_SIM_DIR="$work/sim" "${argv[0]}" "${args[@]}" \
    >"$work/menu.log" 2>&1 &
app_pid=$!
check "the program from the menu shows its window" window_state IsViewable
check "SIGTERM ends it with exit status 0" terminated_with_0
kill "$sim_pid"
wait "$sim_pid" 2>/dev/null || true
sim_pid=

echo "5. quellixctl --help"
check "quellixctl --help prints its usage" bash -c 'quellixctl --help | grep -q "^usage: quellixctl"'

echo "6. apt-get purge"
apt-get purge -y -qq "${packages[@]}" >"$work/purge.log" 2>&1 || {
    cat "$work/purge.log"
    exit 1
}
installed_here=
left=()
while IFS= read -r path; do
    [[ -e $path || -L $path ]] || continue
    # Folders other packages own, or that hold others' files, stay.
    if [[ -d $path && ! -L $path ]] &&
        { dpkg-query -S "$path" >/dev/null 2>&1 || [[ -n $(ls -A "$path") ]]; }; then
        continue
    fi
    left+=("$path")
done <"$work/files"
check "every installed path is gone (left: ${left[*]:-none})" test "${#left[@]}" -eq 0
for p in "${packages[@]}"; do
    check "$p is not installed, not even its configuration" bash -c "! dpkg-query -W -f='\${db:Status-Status}' $p 2>/dev/null | grep -qv '^not-installed$'"
done
check "no /usr/share/quellix" test ! -e /usr/share/quellix
if [[ $etc_quellix_before == no ]]; then
    check "no /etc/quellix" test ! -e /etc/quellix
fi

if ((failures)); then
    echo "package check: $failures check(s) failed; the program's output:"
    tail -40 "$work/program.log" "$work/menu.log" 2>/dev/null
    exit 1
fi
echo "package check: all checks passed"
