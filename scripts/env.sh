# Shared settings for the scripts; sourced, never run.
# The checkout's root, found from this file's own place so any working directory works.
KURUN_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export KURUN_ROOT
# A private prefix inside the checkout: no user's own ~/.wine is touched. KURUN_WINEPREFIX names
# another one: a copy at another DPI or for a desktop (scripts/wine-prefix-copy.sh), or the Wine
# 10 chroot's (scripts/wine10.sh).
export WINEPREFIX="${KURUN_WINEPREFIX:-$KURUN_ROOT/build/wine-prefix}"
export WINEARCH=win64
# Quiet; KURUN_WINEDEBUG lets a test keep Wine's errors in its log.
export WINEDEBUG="${KURUN_WINEDEBUG:--all}"
# No Mono/Gecko installer dialog may block an unattended run; KURUN_WINEDLLOVERRIDES adds a test's own.
export WINEDLLOVERRIDES="mscoree,mshtml=${KURUN_WINEDLLOVERRIDES:+;$KURUN_WINEDLLOVERRIDES}"
export DEBIAN_FRONTEND=noninteractive
