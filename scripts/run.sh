#!/usr/bin/env bash
# Builds the Windows saver and runs it under Wine.
#
#   scripts/run.sh          a test run of the saver (the empty command line)
#   scripts/run.sh /s       the saver as the system starts it
#   scripts/run.sh /c       the settings dialog
#   scripts/run.sh /p       the preview, in a stand-in for the display settings' preview box
#                           (or /p HWND to draw into a window of your own)
#   scripts/run.sh linux [OPTION...]
#                           the native X11 program virelta instead, with its options
#                           (default: -window on your display, -root on a virtual one)
#
# With $DISPLAY set, it runs there until the program ends (a key or a click
# ends the saver).  Without one, it starts its own Xvfb, lets the program run
# VIRELTA_RUN_SECONDS seconds (default 5) on a patterned desktop (or the picture
# VIRELTA_DESKTOP), saves a screenshot as out/run-*.png and ends what it started.  The saver lives in build/wine/run/drive_c/Virelta/,
# where its settings file stays from one run to the next.

set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
"$root/scripts/setup.sh"

logs=$root/build/logs
mkdir -p "$logs" "$root/out"
build_log=$logs/run-build.log
run_log=$logs/run.log
: >"$run_log"

# --- build ---------------------------------------------------------------------
switch=${1:-}
mode=$(printf '%s' "${switch:1:1}" | tr '[:lower:]' '[:upper:]')
need_host=0
[[ $mode == P && $# -lt 2 ]] && need_host=1

linux=0
if [[ $switch == linux ]]; then
  linux=1 need_host=0
  shift
  echo "run: building the X11 program virelta (log: build/logs/run-build.log)"
  if ! { cmake --preset native && cmake --build build/native -j "$(nproc)" --target virelta; } >"$build_log" 2>&1; then
    tail -n 40 "$build_log" >&2
    exit 1
  fi
else
  echo "run: building the win32 saver (log: build/logs/run-build.log)"
  if ! { cmake --preset win32 && ninja -C build/win32 -t targets all >build/win32/targets.txt; } >"$build_log" 2>&1; then
    tail -n 40 "$build_log" >&2
    exit 1
  fi
  saver_target=$(sed -n 's/^\([^:]*Virelta\.scr\): .*/\1/p' build/win32/targets.txt | head -n 1)
  helper_target=$(sed -n 's/^\([^:]*vtest-helper\.exe\): .*/\1/p' build/win32/targets.txt | head -n 1)
  if [[ -z $saver_target ]]; then
    echo "run: the win32 build has no Virelta.scr target" >&2
    exit 1
  fi
  targets=("$saver_target")
  (( need_host )) && targets+=("$helper_target")
  if ! cmake --build build/win32 -j "$(nproc)" --target "${targets[@]}" >>"$build_log" 2>&1; then
    tail -n 40 "$build_log" >&2
    exit 1
  fi

  # --- prefix -------------------------------------------------------------------------
  prefix=$root/build/wine/run
  if [[ ! -f $prefix/system.reg ]]; then
    echo "run: making the Wine prefix build/wine/run (about 30 s, once)"
    python3 tests/e2e/prefix.py make "$prefix"
  fi
  mkdir -p "$prefix/drive_c/Virelta"
  cp "build/win32/$saver_target" "$prefix/drive_c/Virelta/Virelta.scr"
  export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=ja_JP.UTF-8
fi

# --- what this script starts, and ends ---------------------------------------------
xvfb_pid= saver_pid= host_pid= scratch=
finish() {
  [[ -n $saver_pid ]] && kill -KILL "$saver_pid" 2>/dev/null
  [[ -n $host_pid ]] && kill -KILL "$host_pid" 2>/dev/null
  if [[ -n $xvfb_pid ]]; then
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
    # Wine's background programs end by themselves once their clients are gone.
    (( linux )) || timeout 20 wineserver -w 2>/dev/null || wineserver -k 2>/dev/null
  fi
  [[ -n $scratch ]] && rm -rf "$scratch"
  return 0
}
trap finish EXIT
trap 'exit 130' INT TERM

headless=0
if [[ -z ${DISPLAY:-} ]]; then
  headless=1
  scratch=$(mktemp -d)
  Xvfb -displayfd 3 -screen 0 "${VIRELTA_SCREEN:-1024x768x24}" -nolisten tcp -noreset \
    3>"$scratch/display" >>"$run_log" 2>&1 </dev/null &
  xvfb_pid=$!
  for _ in $(seq 200); do
    [[ -s $scratch/display ]] && break
    sleep 0.1
  done
  [[ -s $scratch/display ]] || { echo "run: Xvfb did not start (log: build/logs/run.log)" >&2; exit 1; }
  export DISPLAY=:$(head -n 1 "$scratch/display")
  echo "run: no display; started Xvfb on $DISPLAY"
  # The saver spins pieces of the desktop: give it one where that shows.
  desktop=${VIRELTA_DESKTOP:-$scratch/desktop.png}
  if [[ -z ${VIRELTA_DESKTOP:-} ]]; then
    screen=${VIRELTA_SCREEN:-1024x768x24}
    size=${screen%x*}
    convert -size "$size" -define gradient:angle=135 'gradient:#2a9d8f-#e76f51' \
      \( -size "$size" pattern:checkerboard \) -compose Overlay -composite "$desktop"
  fi
  # `display` sets the root window's picture and leaves (with status 1 all the same).
  display -window root "$desktop" </dev/null >>"$run_log" 2>&1 || true
fi

# Start Wine's background programs first, with their output on the log.
(( linux )) || wine wineboot </dev/null >>"$run_log" 2>&1

args=("$@")
if (( need_host )); then
  host_out=$(mktemp)
  wine "build/win32/$helper_target" host 152 112 </dev/null >"$host_out" 2>>"$run_log" &
  host_pid=$!
  for _ in $(seq 200); do
    grep -q '^[0-9]' "$host_out" && break
    sleep 0.1
  done
  hwnd=$(head -n 1 "$host_out" | tr -dc '0-9')
  rm -f "$host_out"
  [[ -n $hwnd ]] || { echo "run: the preview host did not start" >&2; exit 1; }
  args=("$switch" "$hwnd")
  echo "run: preview host window $hwnd"
fi

program=Virelta.scr
if (( linux )); then
  program=virelta
  (( ${#args[@]} )) || { (( headless )) && args=(-root) || args=(-window); }
  echo "run: build/native/platforms/x11/virelta ${args[*]}"
  build/native/platforms/x11/virelta "${args[@]}" </dev/null >>"$run_log" 2>&1 &
else
  echo "run: wine C:\\Virelta\\Virelta.scr ${args[*]}"
  wine 'C:\Virelta\Virelta.scr' "${args[@]}" </dev/null >>"$run_log" 2>&1 &
fi
saver_pid=$!

if (( headless )); then
  sleep "${VIRELTA_RUN_SECONDS:-5}"
  label=$(printf '%s' "${switch:-test}" | tr -c 'A-Za-z0-9' '_' | sed 's/^_*//; s/_*$//')
  shot=$root/out/run-${label:-test}.png
  import -display "$DISPLAY" -window root "$shot"
  if kill -0 "$saver_pid" 2>/dev/null; then
    state="still running after ${VIRELTA_RUN_SECONDS:-5} s"
  else
    wait "$saver_pid"
    state="ended with exit code $?"
    saver_pid=
  fi
  echo "run: $program $state; screenshot: ${shot#"$root"/}"
else
  set +e
  wait "$saver_pid"
  status=$?
  saver_pid=
  echo "run: $program ended with exit code $status"
  exit "$status"
fi
