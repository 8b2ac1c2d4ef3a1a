#!/usr/bin/env bash
# Runs the e2e driver under Wine on a virtual X display, with one throw-away
# Wine prefix for the whole run.
# Usage: run_e2e.sh DRIVER.exe VALMORA.exe SHOTS_DIR PROBE.exe [FAKE_OFFICE.exe]
set -euo pipefail
driver=$1 valmora=$2 shots=$3 probe=$4 fake_office=${5:-}

work=$(mktemp -d /tmp/valmora-e2e.XXXXXX)
export WINEPREFIX=$work/prefix WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=C.UTF-8
mkdir -p "$shots"
rm -f "$shots"/*.bmp "$shots"/*.png

cleanup() {
  wineserver -k 2>/dev/null || true
  [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# A display of our own, so windows never land on the developer's desktop.
for n in $(seq 90 140); do
  if [ ! -e /tmp/.X11-unix/X$n ] && [ ! -e /tmp/.X$n-lock ]; then display=:$n; break; fi
done
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=$display
for _ in $(seq 50); do [ -e /tmp/.X11-unix/X${display#:} ] && break; sleep 0.1; done

wineboot -i >/dev/null 2>&1
wineserver -w

# The stand-in Office applications: a copy of the server in its own folder
# (its scenario, ready and count files land beside it), registered with one
# regedit import. COM is first used only after the boot above has finished.
if [ -n "$fake_office" ]; then
  mkdir -p "$work/fake_office"
  cp "$fake_office" "$work/fake_office/fake_office.exe"
  fake_win=$(winepath -w "$work/fake_office/fake_office.exe" 2>/dev/null)
  reg_path=$(printf '%s' "$fake_win" | sed 's/\\/\\\\/g')  # a .reg file doubles its backslashes
  template=$(<"$(dirname "$0")/fake_office/fake_office.reg.in")
  printf '%s\n' "${template//@FAKE_OFFICE_EXE@/"$reg_path"}" >"$work/fake_office.reg"
  wine regedit /S "$(winepath -w "$work/fake_office.reg" 2>/dev/null)" >/dev/null 2>&1
  wineserver -w
  export VALMORA_FAKE_OFFICE=$fake_win
fi

export VALMORA_EXE=$(winepath -w "$valmora" 2>/dev/null)
export VALMORA_SHOTS=$(winepath -w "$shots" 2>/dev/null)
export VALMORA_PROBE=$(winepath -w "$probe" 2>/dev/null)
export WINEPATH=
status=0
wine "$driver" --gtest_color=no || status=$?
# Bounded: a server a failed test left behind must not hold the run.
timeout 30 wineserver -w || true

for bmp in "$shots"/*.bmp; do
  [ -e "$bmp" ] || continue
  /usr/bin/convert "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"
done
echo "screenshots: $shots"
exit $status
