#!/usr/bin/env bash
# The Debian packages that building and testing need; installs only what is missing.
set -euo pipefail
packages=(cmake ninja-build g++ libgtest-dev libgmock-dev googletest clang libclang-rt-14-dev
          g++-mingw-w64-x86-64-posix wine wine64 xvfb xauth imagemagick zip binutils)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=; [ "$(id -u)" -ne 0 ] && sudo=sudo
$sudo apt-get update
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
