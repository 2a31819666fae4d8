#!/usr/bin/env bash
# Starts kurun.exe under Wine. On $DISPLAY it runs until the program ends; without a display it
# runs on a private Xvfb for a few seconds and leaves a screenshot.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"

exe="$KURUN_ROOT/build/windows/kurun.exe"
shot="$KURUN_ROOT/build/screenshot.png"
[[ -f $exe ]] || { echo "run: $exe does not exist: run make build" >&2; exit 1; }

if [[ ${1:-} != --shot ]]; then
  if [[ -n ${DISPLAY:-} ]]; then
    echo "run: starting kurun.exe on $DISPLAY"
    exec bash "$KURUN_ROOT/scripts/wine-run.sh" "$exe"
  fi
  exec bash "$KURUN_ROOT/scripts/xvfb.sh" bash "${BASH_SOURCE[0]}" --shot
fi

# Headless: started by xvfb.sh, which stops the display afterwards.
bash "$KURUN_ROOT/scripts/wine-run.sh" "$exe" &
pid=$!
stop() {
  # wine-run.sh execs Wine, so this pid is the program itself.
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}
trap stop EXIT

shown=0
for _ in $(seq 600); do
  if xdotool search --all --onlyvisible --pid "$pid" --name '^Pelton$' >/dev/null 2>&1; then
    shown=1
    break
  fi
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
(( shown )) || echo "run: no window named Pelton appeared" >&2
# Let the characters walk in from the left edge toward the pointer.
xdotool mousemove 200 400 >/dev/null 2>&1 || true
sleep 5
mkdir -p "$(dirname "$shot")"
import -window root "$shot"
echo "run: screenshot of the screen after 5 s: $shot"
(( shown ))
