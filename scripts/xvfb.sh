#!/usr/bin/env bash
# Runs a command on a display: $DISPLAY when set, otherwise a private Xvfb that lives exactly as
# long as the command. Exits with the command's status.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"

if [[ -n ${DISPLAY:-} ]]; then
  exec "$@"
fi

dir="$(mktemp -d)"
xvfb_pid=""
anchor_pid=""
finish() {
  local rc=$?
  if [[ -n $anchor_pid ]]; then
    kill "$anchor_pid" 2>/dev/null || true
  fi
  if [[ -n $xvfb_pid ]]; then
    # Let the prefix's own Wine processes (explorer, services) leave before their display goes.
    timeout 20 wineserver -w 2>/dev/null || true
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
  rm -rf "$dir"
  exit "$rc"
}
trap finish EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# Xvfb picks a free display number itself, so parallel runs never collide. x = 980 + 40 fits.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$dir/display" >"$dir/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
  [[ -s $dir/display ]] && break
  kill -0 "$xvfb_pid" 2>/dev/null || { cat "$dir/xvfb.log" >&2; echo "xvfb: Xvfb did not start" >&2; exit 1; }
  sleep 0.1
done
number="$(tr -dc 0-9 <"$dir/display")"
[[ -n $number ]] || { echo "xvfb: no display number from Xvfb" >&2; exit 1; }
export DISPLAY=":$number"
for _ in $(seq 50); do
  xdpyinfo >/dev/null 2>&1 && break
  sleep 0.1
done

# Xvfb ignores pointer warps while no client window is mapped: keep one mapped off the screen.
python3 "$KURUN_ROOT/scripts/pointer_anchor.py" &
anchor_pid=$!
for _ in $(seq 50); do
  xdotool mousemove 1 1 >/dev/null 2>&1 || true
  [[ $(xdotool getmouselocation 2>/dev/null) == "x:1 y:1 "* ]] && break
  sleep 0.1
done
# Back to where Xvfb starts it: the middle of the screen.
xdotool mousemove 640 512 >/dev/null 2>&1 || true
echo "xvfb: started Xvfb on $DISPLAY" >&2

# Not exec: the trap must stop Xvfb afterwards.
"$@"
