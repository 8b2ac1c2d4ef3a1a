#!/usr/bin/env bash
# Builds Valmora.exe and starts it under Wine; arguments pass through (e.g. /shutdown).
# Uses $DISPLAY when set, a virtual Xvfb display otherwise.
#
# --demo (first argument): also starts the stand-in Office applications of the
# e2e tests with a sample scenario (e2e/fake_office/demo.scenario), so that a
# scan finds documents; they are stopped when Valmora ends. The demo's
# Valmora.exe and its log live in C:\valmora-demo of the prefix.
set -euo pipefail
cd "$(dirname "$0")/.."
demo=false
if [ "${1:-}" = --demo ]; then demo=true; shift; fi
bash scripts/install-deps.sh
cmake --preset mingw >/dev/null
if $demo; then
  cmake --build --preset mingw --target Valmora fake_office
else
  cmake --build --preset mingw --target Valmora
fi

export WINEPREFIX=${WINEPREFIX:-$HOME/.valmora-wine} WINEARCH=win64 WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="
xvfb_pid=
if $demo; then source scripts/demo_office.sh; fi
cleanup() {
  if $demo; then stop_demo_office; fi
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
}
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ]; then
  for n in $(seq 90 140); do [ -e /tmp/.X11-unix/X$n ] || { display=:$n; break; }; done
  Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  export DISPLAY=$display
  for _ in $(seq 50); do [ -e /tmp/.X11-unix/X${display#:} ] && break; sleep 0.1; done
  echo "No \$DISPLAY: running on virtual display $DISPLAY"
fi
if [ ! -d "$WINEPREFIX" ]; then
  wineboot -i >/dev/null 2>&1
  wineserver -w  # COM reaches its services only once the first boot has wound down
fi

exe=build/mingw/src/app/Valmora.exe
if $demo; then
  start_demo_office "$WINEPREFIX/drive_c/valmora-demo"
  exe=$demo_folder/Valmora.exe
  [ $# -gt 0 ] || echo "Press \"Get Curr\" in Valmora to scan them."
fi
exec_status=0
wine "$exe" "$@" || exec_status=$?
if $demo; then
  stop_demo_office
  echo "The demo's log: $demo_folder/Valmora.txt"
fi
wineserver -w || true
exit $exec_status
