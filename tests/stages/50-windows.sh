#!/usr/bin/env bash
# Windows: the cross build with mingw-w64, the test suite through Wine, and
# smoke tests of the window and the HID walk under Wine on an Xvfb display,
# with no controller attached. Screenshots, check reports and the two .exe
# files land in build/artifacts/windows.
set -euo pipefail
build=build/win
artifacts=$PWD/build/artifacts/windows
logs=$artifacts/logs
jobs=${VORNAK_JOBS:-2}
rm -rf "$artifacts"
mkdir -p "$logs"

# The window's language follows the locale Wine starts in.
locales=(zh_CN.UTF-8 en_US.UTF-8)
missing=0
for name in "${locales[@]}"; do
  locale -a | grep -qix "${name/UTF-8/utf8}" || missing=1
done
if [ "$missing" -eq 1 ]; then
  for name in "${locales[@]}"; do
    grep -q "^$name UTF-8" /etc/locale.gen || sed -i -E "s/^# *($name UTF-8)/\1/" /etc/locale.gen
    grep -q "^$name UTF-8" /etc/locale.gen || echo "$name UTF-8" >>/etc/locale.gen
  done
  locale-gen >"$logs/locale-gen.log" 2>&1
fi

cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release
cmake --build "$build" -j "$jobs"

# Single files: no DLL of the compiler's runtime beside them.
for exe in "$build/src/app/win32/vornak-update.exe" "$build/src/cli/vornak-flash.exe"; do
  dlls=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p')
  if grep -iE '^lib|pthread|stdc\+\+|gcc' <<<"$dlls"; then
    echo "$exe needs a runtime DLL"
    exit 1
  fi
  cp "$exe" "$artifacts/"
  echo "$(basename "$exe"): $(stat -c %s "$exe") bytes, imports only" $dlls
done

# One display and one Wine prefix for the whole run. Wine's output always
# goes to files: a pipe stays open until wineserver exits and can hang.
export WINEPREFIX=$PWD/$build/wineprefix WINEARCH=win64 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="  # no Mono or Gecko installer dialogs
xvfb_pid=
display_file=$(mktemp)
cleanup() {
  timeout 30 wineserver -k >/dev/null 2>&1 || true
  timeout 30 wineserver -w >/dev/null 2>&1 || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -f "$display_file"
}
trap cleanup EXIT
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$display_file" >"$logs/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
  [ -s "$display_file" ] && break
  sleep 0.1
done
[ -s "$display_file" ] || { echo "Xvfb did not start"; cat "$logs/xvfb.log"; exit 1; }
export DISPLAY=:$(head -n1 "$display_file")

timeout 30 wineserver -k >/dev/null 2>&1 || true
timeout 300 wineboot -u >"$logs/wineboot.log" 2>&1  # creates the prefix on the first run
timeout 60 wineserver -w
# A persistent server keeps each of the hundreds of test processes from
# starting (and waiting for) one of its own.
wineserver -p >"$logs/wineserver.log" 2>&1
# Without a window manager, managed windows wait for one on every hide;
# unmanaged windows get Wine's own frame.
timeout 60 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >"$logs/reg.log" 2>&1

timeout 1500 ctest --test-dir "$build" --output-on-failure -j "$jobs" --timeout 300

# Discovery walks Wine's own virtual HID devices (vendor 0x845E) and finds no controller.
timeout 60 wine "$build/tests/wine/vornak-hid-walk.exe" >"$artifacts/hid-walk.txt" 2>"$logs/hid-walk.log"
cat "$artifacts/hid-walk.txt"
grep -q '^interface 845e:' "$artifacts/hid-walk.txt" || { echo "no virtual HID device seen"; exit 1; }

smoke() {
  local language=$1 locale=$2 app status=0
  LC_ALL=$locale timeout 120 wine "$build/src/app/win32/vornak-update.exe" >"$logs/update-$language.log" 2>&1 &
  app=$!
  LC_ALL=$locale timeout 60 wine "$build/tests/wine/vornak-window-check.exe" "$language" \
    >"$artifacts/window-$language.txt" 2>"$logs/window-check-$language.log" || status=1
  timeout 30 import -window root "$artifacts/window-$language.png" || status=1
  timeout 60 wine "$build/tests/wine/vornak-window-check.exe" close \
    >>"$artifacts/window-$language.txt" 2>>"$logs/window-check-$language.log" || status=1
  wait "$app" || status=1
  cat "$artifacts/window-$language.txt"
  return "$status"
}
smoke zh zh_CN.UTF-8
smoke en en_US.UTF-8
echo "Windows smoke tests passed; artifacts in $artifacts"
