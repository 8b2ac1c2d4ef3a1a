#!/usr/bin/env bash
# Runs the e2e driver under Wine on a virtual X display, with one throw-away
# Wine prefix for the whole run.
# Usage: run_e2e.sh DRIVER.exe VALMORA.exe SHOTS_DIR PROBE.exe [FAKE_OFFICE.exe] [SHELL_RECORDER.exe]
set -euo pipefail
driver=$1 valmora=$2 shots=$3 probe=$4 fake_office=${5:-}
here=$(cd "$(dirname "$0")" && pwd)
source "$here/register_tool.sh"

work=$(mktemp -d /tmp/valmora-e2e.XXXXXX)
export WINEPREFIX=$work/prefix WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=C.UTF-8
mkdir -p "$shots"
rm -f "$shots"/*.bmp "$shots"/*.png

locked=()
cleanup() {
  for folder in "${locked[@]}"; do chattr -i "$folder" 2>/dev/null || true; done
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
  VALMORA_FAKE_OFFICE=$(register_tool "$work/fake_office/fake_office.exe" \
    "$here/fake_office/fake_office.reg.in" @FAKE_OFFICE_EXE@)
  export VALMORA_FAKE_OFFICE
  wineserver -w
fi

# The shell's stand-in "open" handler: a copy in its own folder (its record
# lands beside it), registered with one regedit import. Found beside the
# driver when not named.
shell_recorder=${6:-$(dirname "$driver")/shell_recorder.exe}
if [ -f "$shell_recorder" ]; then
  mkdir -p "$work/shell_recorder"
  cp "$shell_recorder" "$work/shell_recorder/shell_recorder.exe"
  VALMORA_SHELL_RECORDER=$(register_tool "$work/shell_recorder/shell_recorder.exe" \
    "$here/shell_recorder/shell_recorder.reg.in" @SHELL_RECORDER_EXE@)
  export VALMORA_SHELL_RECORDER
  wineserver -w
fi

# Folders nobody can write, root included (the tests run as root, so file
# permissions would not stop a write): one holding Valmora.exe and Nowhere.exe,
# and Nowhere's own per-user folder, for a log that cannot be written anywhere.
drive_c=$WINEPREFIX/drive_c
local_appdata=$(ls -d "$drive_c"/users/*/AppData/Local 2>/dev/null | grep -v /Public/ | head -1)
if [ -n "$local_appdata" ]; then
  mkdir -p "$drive_c/valmora-e2e-locked" "$local_appdata/Nowhere"
  cp "$valmora" "$drive_c/valmora-e2e-locked/Valmora.exe"
  cp "$valmora" "$drive_c/valmora-e2e-locked/Nowhere.exe"
  if chattr +i "$drive_c/valmora-e2e-locked" "$local_appdata/Nowhere" 2>/dev/null; then
    locked=("$drive_c/valmora-e2e-locked" "$local_appdata/Nowhere")
    export VALMORA_LOCKED_FOLDER='C:\valmora-e2e-locked'
  fi
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
