#!/usr/bin/env bash
# The Debian package as a user of the machine gets it: built with CPack, checked
# with lintian, unpacked into a scratch root and run by an unprivileged user
# (nobody, with a scratch HOME) on a virtual X server. A page named on the command
# line and an untitled page build and run through the stand-ins and g++, the
# window closes, the next start brings the page back, and nothing is ever written
# into the unpacked tree.
#   test_package.sh <source folder> <build folder>
set -euo pipefail
source="$1"
build="$2"

skip() { echo "SKIPPED: $*"; exit 77; }
fail() { echo "FAILED: $*" >&2; exit 1; }

[ "$(id -u)" -eq 0 ] || skip "needs root, to run the program as the user nobody"
command -v runuser >/dev/null || skip "runuser (util-linux) is missing"
command -v Xvfb >/dev/null || skip "Xvfb is missing"
missing=()
for tool in xdotool:xdotool lintian:lintian dpkg-shlibdeps:dpkg-dev; do
  command -v "${tool%%:*}" >/dev/null || missing+=("${tool#*:}")
done
[ ${#missing[@]} -eq 0 ] || bash "$source/scripts/deps.sh" "${missing[@]}"

scratch="$(mktemp -d /tmp/nollex-package.XXXXXX)"
chmod 755 "$scratch"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$scratch"
}
trap cleanup EXIT

# --- the package
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/package" > "$scratch/cpack.log" 2>&1 ||
  { cat "$scratch/cpack.log"; fail "cpack"; }
deb="$(ls "$scratch"/package/*.deb)"
depends="$(dpkg-deb -f "$deb" Depends)"
echo "Depends: $depends"
for need in 'g++' 'xterm | x-terminal-emulator' qt6-translations-l10n libqt6widgets6 libqscintilla2-qt6 libc6; do
  grep -qF "$need" <<< "$depends" || fail "Depends lacks $need"
done
[ "$(dpkg-deb -f "$deb" Recommends)" = "fonts-noto-cjk, fonts-dejavu-core, gcc-12-locales, xdg-utils, gdb, valgrind, clang-format, clangd" ] || fail "Recommends"
contents="$(dpkg-deb -c "$deb" | awk '{print $6}')"
! grep -Ei 'test|bench|fuzz' <<< "$contents" || fail "tests, benchmarks or fuzzers in the package"
lintian --fail-on error "$deb" || fail "lintian reports errors"

root="$scratch/root"
dpkg-deb -x "$deb" "$root"
[ "$(readlink "$root/usr/bin/nollex")" = ../lib/nollex/nollex ] || fail "usr/bin/nollex is not the relative link"
for f in nollex cmd.exe bcc32.exe nollex-explain nollex-console nollex-case compat/lib/libnollexguard.a installed manual/index.html; do
  [ -e "$root/usr/lib/nollex/$f" ] || fail "usr/lib/nollex/$f missing"
done
listing() {
  (cd "$root" && find . -printf '%p %y %m %U %s %l\n' | sort && find . -type f -exec sha256sum {} + | sort)
}
before="$(listing)"

# --- the user and the display
home="$scratch/home"
work="$scratch/work"
mkdir -p "$home" "$work" "$scratch/run"
cat > "$work/hello.cpp" <<'SRC'
#include <cstdio>
int main() { std::puts("file-page-ran"); }
SRC
# The console window only records what the program printed.
cat > "$scratch/console.sh" <<SH
#!/bin/sh
"\$@" >> "$scratch/console.log" 2>&1
SH
chmod 755 "$scratch/console.sh"
touch "$scratch/console.log"
chown -R nobody:nogroup "$home" "$work" "$scratch/run" "$scratch/console.log"
chmod 700 "$home" "$scratch/run"

Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp -ac 5> "$scratch/display" 2> "$scratch/xvfb.log" &
pids+=($!)
for _ in $(seq 100); do [ -s "$scratch/display" ] && break; sleep 0.1; done
[ -s "$scratch/display" ] || { cat "$scratch/xvfb.log"; fail "Xvfb did not start"; }
export DISPLAY=":$(head -n1 "$scratch/display")"

nollex_pid=
start_nollex() {
  (cd "$work" && exec runuser -u nobody -- env -i HOME="$home" DISPLAY="$DISPLAY" PATH=/usr/bin:/bin \
    XDG_RUNTIME_DIR="$scratch/run" LANG=C.UTF-8 QT_QPA_PLATFORM=xcb \
    NOLLEX_TERMINAL="$scratch/console.sh" "$root/usr/bin/nollex" "$@") > "$scratch/nollex.log" 2>&1 &
  nollex_pid=$!
  pids+=("$nollex_pid")
}
# The id of the first window whose title matches, once it is there.
window() {
  timeout 30 xdotool search --sync --onlyvisible --name "$1" | head -n1 ||
    { cat "$scratch/nollex.log" >&2; fail "no window titled $1"; }
}
wait_for_output() {
  for _ in $(seq 600); do
    [ "$(grep -c "$1" "$scratch/console.log")" -ge "$2" ] && return 0
    sleep 0.1
  done
  cat "$scratch/console.log" "$scratch/nollex.log"
  fail "the console did not show $1 $2 time(s)"
}
wait_for_exit() {
  for _ in $(seq 300); do kill -0 "$nollex_pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$nollex_pid" 2>/dev/null && fail "the window did not close"
  wait "$nollex_pid" || { cat "$scratch/nollex.log"; fail "nollex ended with an error"; }
}
focus() { xdotool windowfocus --sync "$1"; sleep 0.3; }

# --- first start: a file named relative to the current folder, then an untitled page
start_nollex hello.cpp
main="$(window 'hello\.cpp')"
focus "$main"
xdotool key F9
wait_for_output file-page-ran 1
xdotool key ctrl+n
sleep 0.5
xdotool type --delay 15 'extern "C" int puts(const char*); int main() { puts("untitled-page-ran"); }'
xdotool key F9
wait_for_output untitled-page-ran 1
[ -f "$home/.cache/nollex/__out.bat" ] && [ -f "$home/.cache/nollex/message.txt" ] ||
  fail "the untitled build's files are not in ~/.cache/nollex"
# The untitled page goes, its "save?" answered No; the file's page stays for the next start.
xdotool key ctrl+Delete
question="$(window '^Nollex$')"
focus "$question"
xdotool key alt+n
sleep 0.5
focus "$main"
xdotool key alt+F4
wait_for_exit
grep -q "hello.cpp" "$home/.config/nollex/Nollex.ini" || fail "Nollex.ini in ~/.config/nollex lacks the page"
for folder in .config/nollex .cache/nollex; do
  [ "$(stat -c %a "$home/$folder")" = 700 ] || fail "~/$folder is not private"
done

# --- second start: the page comes back and builds again
start_nollex
main="$(window 'hello\.cpp')"
focus "$main"
xdotool key F9
wait_for_output file-page-ran 2
xdotool key alt+F4
wait_for_exit

[ "$before" = "$(listing)" ] || { diff <(echo "$before") <(listing) || true; fail "the unpacked tree changed"; }
echo "package, installed run and restore: ok"
