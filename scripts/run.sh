#!/usr/bin/env bash
# Builds Valmora.exe and starts it under Wine; arguments pass through (e.g. /shutdown).
# Uses $DISPLAY when set, a virtual Xvfb display otherwise.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset mingw >/dev/null
cmake --build --preset mingw --target Valmora

export WINEPREFIX=${WINEPREFIX:-$HOME/.valmora-wine} WINEARCH=win64 WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="
if [ -z "${DISPLAY:-}" ]; then
  for n in $(seq 90 140); do [ -e /tmp/.X11-unix/X$n ] || { display=:$n; break; }; done
  Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  trap 'kill $xvfb_pid 2>/dev/null || true' EXIT
  export DISPLAY=$display
  for _ in $(seq 50); do [ -e /tmp/.X11-unix/X${display#:} ] && break; sleep 0.1; done
  echo "No \$DISPLAY: running on virtual display $DISPLAY"
fi
[ -d "$WINEPREFIX" ] || wineboot -i >/dev/null 2>&1
exec_status=0
wine build/mingw/src/app/Valmora.exe "$@" || exec_status=$?
wineserver -w || true
exit $exec_status
