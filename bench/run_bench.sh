#!/usr/bin/env bash
# Builds the cross build and runs the benchmarks under Wine, in the e2e
# runner's throw-away prefix with the fake Office server registered.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset mingw >/dev/null
cmake --build --preset mingw --target office_scan_bench fake_office Valmora msgbox_probe
build=build/mingw
bash e2e/run_e2e.sh "$build/bench/office_scan_bench.exe" "$build/src/app/Valmora.exe" "$build/bench/screenshots" \
  "$build/e2e/msgbox_probe.exe" "$build/e2e/fake_office.exe"
