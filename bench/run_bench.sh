#!/usr/bin/env bash
# Builds the cross build and runs the benchmarks under Wine, each in the e2e
# runner's throw-away prefix with the fake Office server registered.
# Usage: run_bench.sh [scan] [watch]   (both when none is named; watch takes about 5 minutes)
set -euo pipefail
cd "$(dirname "$0")/.."
benches=("$@")
[ ${#benches[@]} -gt 0 ] || benches=(scan watch)
for bench in "${benches[@]}"; do
  case $bench in
    scan) target=office_scan_bench ;;
    watch) target=watch_bench ;;
    *) echo "unknown benchmark '$bench': scan or watch" >&2; exit 2 ;;
  esac
  cmake --preset mingw >/dev/null
  cmake --build --preset mingw --target "$target" fake_office Valmora msgbox_probe
  build=build/mingw
  bash e2e/run_e2e.sh "$build/bench/$target.exe" "$build/src/app/Valmora.exe" "$build/bench/screenshots" \
    "$build/e2e/msgbox_probe.exe" "$build/e2e/fake_office.exe"
done
