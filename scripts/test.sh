#!/usr/bin/env bash
# Every test: the portable core's unit tests and fuzz replay, a short libFuzzer
# run, then the real Valmora.exe end to end under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
fuzz_seconds=${VALMORA_FUZZ_SECONDS:-30}

echo "== unit tests (native)"
cmake --preset native >/dev/null
cmake --build --preset native
ctest --preset native 2>&1 | tee build/native/ctest.log

echo "== fuzzing for ${fuzz_seconds} s (clang, libFuzzer)"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
cp fuzz/corpus/log/* "$corpus"/
./build/fuzz/fuzz/log_fuzzer -max_total_time="$fuzz_seconds" -print_final_stats=0 "$corpus" fuzz/corpus/log \
  2>build/fuzz/log_fuzzer.log || { tail -40 build/fuzz/log_fuzzer.log; exit 1; }
tail -1 build/fuzz/log_fuzzer.log

echo "== end to end (MinGW build under Wine)"
cmake --preset mingw >/dev/null
cmake --build --preset mingw
ctest --preset mingw --verbose 2>&1 | tee build/mingw/ctest.log | grep -E '^[0-9]+: \[ *(RUN|OK|FAILED|PASSED) *\]|Failure|screenshots:' || true

unit=$(grep -Eo 'out of [0-9]+' build/native/ctest.log | grep -Eo '[0-9]+')
e2e=$(grep -Eo '\[  PASSED  \] [0-9]+ tests' build/mingw/ctest.log | grep -Eo '[0-9]+' || echo 0)
if ! grep -q '100% tests passed' build/mingw/ctest.log; then
  echo "End-to-end tests FAILED (log: build/mingw/ctest.log)"
  exit 1
fi
echo "All tests passed: ${unit} unit and replay tests, ${e2e} end-to-end tests, fuzzing clean."
