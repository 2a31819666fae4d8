#!/usr/bin/env bash
# Runs the Windows programs and tests under Wine 10, the Wine of Debian 13, in a Debian 13 chroot
# made once under build/wine10/root. Inside it: this checkout at its own path, the chroot's own
# Xvfb, and a private prefix of its own, build/wine10/wine-prefix.
#
#   scripts/wine10.sh                          the whole Windows preset (ctest --preset windows)
#   scripts/wine10.sh ctest --preset windows -R e2e_walking
#   scripts/wine10.sh build/windows/test_x.exe [args]     one Windows program
#   scripts/wine10.sh tests/e2e/test_walking.py           one end-to-end test on kurun.exe
#   scripts/wine10.sh --setup                  only make the chroot and its prefix
#   scripts/wine10.sh --shell                  a shell in the chroot (on its display)
#   scripts/wine10.sh --on-display ...         any of these on the caller's $DISPLAY instead, a
#                                              local one that needs no authorization (an Xvfb)
#
# Build first (make build): the programs are built outside and only run in here, so they must lie
# inside this checkout. Needs root.
# The mounts live in a mount namespace of their own, so they go whenever this script ends, however.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"

root="${KURUN_WINE10_ROOT:-$KURUN_ROOT/build/wine10/root}"
prefix="$KURUN_ROOT/build/wine10/wine-prefix"
mirror="${KURUN_DEBIAN_MIRROR:-http://deb.debian.org/debian}"
# Changing the package list bumps this, which installs the difference into an existing chroot.
version=1
packages=(
  wine wine64
  # Wine loads these X extensions only when present; the same set as outside.
  libxrender1 libxrandr2 libxi6 libxcursor1 libxcomposite1 libxinerama1 libxfixes3 libxxf86vm1
  xvfb x11-utils xdotool xclip imagemagick fonts-ipafont-gothic
  python3 python3-xlib
  # ctest runs the preset; localedef makes the Japanese locale if the build tree has none yet.
  cmake locales
)

if (( EUID != 0 )); then
  echo "wine10: needs root (debootstrap, chroot, mounts)" >&2
  exit 1
fi

# Makes the chroot once; an interrupted attempt is thrown away and started again.
make_chroot() {
  local stamp="$root/.kurun-ready"
  [[ -f $stamp && $(<"$stamp") == "$version" ]] && return 0
  if [[ ! -f $root/.kurun-bootstrapped ]]; then
    command -v debootstrap >/dev/null || { apt-get update -q && apt-get install -y -q --no-install-recommends debootstrap </dev/null; }
    echo "wine10: making a Debian 13 chroot in $root (once)" >&2
    rm -rf "$root"
    mkdir -p "$root"
    debootstrap --variant=minbase trixie "$root" "$mirror" >&2
    touch "$root/.kurun-bootstrapped"
  fi
  in_namespace --install
  echo "$version" >"$stamp"
}

# The rest runs in a private mount namespace: mounts made there vanish with it.
in_namespace() {
  unshare --mount --propagation private bash "${BASH_SOURCE[0]}" --inside "$@"
}

mount_all() {
  mount --bind /proc "$root/proc"  # /proc of this pid namespace: pids match outside
  mount --rbind /dev "$root/dev"  # with /dev/pts and /dev/shm
  mkdir -p "$root$KURUN_ROOT"
  mount --bind "$KURUN_ROOT" "$root$KURUN_ROOT"
  if [[ -n ${KURUN_WINE10_DISPLAY:-} ]]; then
    mkdir -p "$root/tmp/.X11-unix"
    mount --bind /tmp/.X11-unix "$root/tmp/.X11-unix"
  fi
  # Name lookups for apt, from this machine's resolver.
  cp /etc/resolv.conf "$root/etc/resolv.conf" 2>/dev/null || true
}

inside() {
  # Only what the chroot's programs need from outside; the rest of the environment stays out.
  chroot "$root" /usr/bin/env -i PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    HOME=/root TERM="${TERM:-dumb}" LANG=C.UTF-8 DEBIAN_FRONTEND=noninteractive \
    KURUN_WINEPREFIX="$prefix" ${KURUN_WINE10_DISPLAY:+DISPLAY="$KURUN_WINE10_DISPLAY"} "$@"
}

if [[ ${1:-} == --inside ]]; then
  shift
  mount_all
  if [[ ${1:-} == --install ]]; then
    inside apt-get update -q >&2
    inside apt-get install -y -q --no-install-recommends "${packages[@]}" </dev/null >&2
    # Package lists and archives are only needed for installing: 250 MB less.
    inside apt-get clean
    rm -rf "$root"/var/lib/apt/lists/* "$root"/var/cache/apt/*.bin
    exit 0
  fi
  # CTest starts the end-to-end tests with the python3 that the build found outside.
  python="$(sed -n 's/^KURUN_PYTHON3:FILEPATH=//p' "$KURUN_ROOT/build/windows/CMakeCache.txt" 2>/dev/null || true)"
  if [[ -n $python && ! -e $root$python && ! -L $root$python ]]; then
    mkdir -p "$root$(dirname "$python")"
    ln -s /usr/bin/python3 "$root$python"
  fi
  # On the chroot's own Xvfb (or the caller's display), from the checkout, with the prefix made
  # (once) by the usual script.
  inside bash -c 'cd "$0" && bash scripts/wine-prefix.sh && exec bash scripts/xvfb.sh "$@"' "$KURUN_ROOT" "$@"
  exit
fi

make_chroot
if [[ ${1:-} == --on-display ]]; then
  shift
  [[ -n ${DISPLAY:-} ]] || { echo "wine10: --on-display needs \$DISPLAY" >&2; exit 1; }
  export KURUN_WINE10_DISPLAY="$DISPLAY"
else
  unset KURUN_WINE10_DISPLAY
fi
case "${1:-}" in
  --setup)
    in_namespace true
    ;;
  --shell)
    in_namespace bash
    ;;
  "")
    in_namespace ctest --preset windows
    ;;
  *.exe)
    in_namespace bash scripts/wine-run.sh "$@"
    ;;
  *.py)
    in_namespace python3 -B "$1" build/windows/kurun.exe "build/windows/e2e-wine10" "${@:2}"
    ;;
  *)
    in_namespace "$@"
    ;;
esac
