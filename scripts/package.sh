#!/usr/bin/env bash
# Builds the release Valmora.exe and writes dist/Valmora-<version>.zip: the
# exe, the README and SHA256SUMS. The version is the one the exe's version
# resource carries (set once, in CMakeLists.txt).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset mingw >/dev/null
cmake --build --preset mingw --target Valmora
exe=build/mingw/src/app/Valmora.exe

# The string table keeps its values in UTF-16: the line after "FileVersion".
version=$(strings -el "$exe" | grep -A1 -x FileVersion | sed -n 2p)
if ! [[ $version =~ ^[0-9]+\.[0-9]+$ ]]; then
  echo "package.sh: no usable FileVersion in $exe (found '$version')" >&2
  exit 1
fi

name=Valmora-$version
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir "$stage/$name"
cp "$exe" README.md "$stage/$name/"
(cd "$stage/$name" && sha256sum Valmora.exe README.md > SHA256SUMS)
mkdir -p dist
rm -f "dist/$name.zip"
(cd "$stage" && zip -q -X -r - "$name") > "dist/$name.zip"
(cd dist && sha256sum "$name.zip" > "$name.zip.sha256")
echo "dist/$name.zip ($(stat -c %s "dist/$name.zip") bytes), sha256 $(cut -d' ' -f1 "dist/$name.zip.sha256")"
