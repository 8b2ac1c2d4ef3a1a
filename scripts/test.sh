#!/usr/bin/env bash
# Every test that is green today: the portable core's unit tests and fuzz replay.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset native >/dev/null
cmake --build --preset native
ctest --preset native
