#!/usr/bin/env bash
# Builds the cross build and runs the benchmarks under Wine, each in the e2e
# runner's throw-away prefix with the fake Office server registered.
# Usage: run_bench.sh [size] [startup] [scan] [watch]   (all when none is named; watch takes about 5 minutes)
set -euo pipefail
cd "$(dirname "$0")/.."
benches=("$@")
[ ${#benches[@]} -gt 0 ] || benches=(size startup scan watch)
for bench in "${benches[@]}"; do
  if [ "$bench" = size ]; then
    # The shipped exe against a window and a message loop built the same way.
    cmake --preset mingw >/dev/null
    cmake --build --preset mingw --target Valmora idle_window >/dev/null
    exe=$(stat -c %s build/mingw/src/app/Valmora.exe)
    floor=$(stat -c %s build/mingw/bench/idle_window.exe)
    awk -v e="$exe" -v f="$floor" 'BEGIN { printf "size     Valmora.exe %d bytes, minimal static window program %d bytes: %.1fx (target 1.3x: %s)\n", e, f, e / f, e / f <= 1.3 ? "met" : "MISSED" }'
    continue
  fi
  case $bench in
    scan) target=office_scan_bench ;;
    watch) target=watch_bench ;;
    startup) target=startup_bench ;;
    *) echo "unknown benchmark '$bench': size, startup, scan or watch" >&2; exit 2 ;;
  esac
  cmake --preset mingw >/dev/null
  cmake --build --preset mingw --target "$target" fake_office Valmora msgbox_probe
  build=build/mingw
  bash e2e/run_e2e.sh "$build/bench/$target.exe" "$build/src/app/Valmora.exe" "$build/bench/screenshots" \
    "$build/e2e/msgbox_probe.exe" "$build/e2e/fake_office.exe"
done
