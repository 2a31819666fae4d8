#!/usr/bin/env bash
# Installs what the build, the program and the tests need, then prepares the Wine prefix
# (not with --packages).
# A no-op in well under a second when everything is there.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"

packages=(
  make cmake ninja-build g++ libgtest-dev googletest
  # The fuzz targets: clang with libFuzzer and the sanitizer runtimes, llvm-symbolizer for traces.
  clang-14 libclang-rt-14-dev llvm-14
  mingw-w64 g++-mingw-w64-x86-64-posix
  wine wine64
  # Wine only recommends these X extensions; without them windows behave differently than here.
  libxrender1 libxrandr2 libxi6 libxcursor1 libxcomposite1 libxinerama1 libxfixes3 libxxf86vm1
  xvfb xauth x11-utils xdotool xclip imagemagick fonts-ipafont-gothic
  # A window manager, for the test of the characters on a desktop that has one.
  openbox
  python3 python3-xlib
  # A Japanese locale for the tests that need the ANSI code page Shift-JIS under Wine.
  locales
)

missing=()
for p in "${packages[@]}"; do
  status="$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null || true)"
  [[ $status == installed ]] || missing+=("$p")
done

if (( ${#missing[@]} )); then
  echo "setup: installing ${missing[*]}"
  if (( EUID != 0 )); then
    echo "setup: these packages are missing and installing them needs root: ${missing[*]}" >&2
    exit 1
  fi
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}" </dev/null
fi

[[ ${1:-} == --packages ]] && exit 0
bash "$KURUN_ROOT/scripts/wine-prefix.sh"
