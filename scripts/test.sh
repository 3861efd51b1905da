#!/usr/bin/env bash
# Builds everything and runs every test of Virelta.
#
#   scripts/test.sh [STAGE...]        default: every stage (win64 builds before win32)
#
#   native    Linux build: unit tests, tools, benchmarks       ctest --preset native
#   sanitize  the unit tests under ASan and UBSan               ctest --preset native-sanitize
#   win32     32-bit Windows build (Virelta.scr), its unit
#             tests under Wine, on an Xvfb of their own         ctest --preset win32
#   win64     64-bit Windows build, its unit tests likewise     ctest --preset win64
#   e2e       both Virelta.scr under Wine and Xvfb: every       tests/e2e/run.py
#             test against the 32-bit one, the core of
#             starting, ending, /c and /p against the 64-bit
#
# The Windows presets build what their stages run (the unit-test programs,
# virelta-fx, the saver, the e2e helper, the 32-bit Effects Lab), not the
# other command-line tools, which the native stage builds and tests.
# Each Windows unit-test stage leaves build/logs/<stage>.result: "passed",
# "failed" or "untested" (the machine cannot run that build's programs);
# scripts/package.sh packs only what passed.
#
# Installs what a fresh Debian 12 machine lacks first (scripts/setup.sh).
# A stage's tests run in the background while the next stage builds (they
# mostly wait: on Wine, on Xvfb, on memory), so the stages' wall times add up
# to more than the run's; each stage's processor seconds are its own.
# Logs go to build/logs/.  The last line reads "total: N passed, N failed";
# the exit status is non-zero if any build or test failed.
#
# VIRELTA_JOBS: build and test parallelism (default: the number of cores).
# VIRELTA_REUSE_PREFIX=1: keep build/wine/template from an earlier run (saves ~30 s).

set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root" || exit 1

all_stages=(native sanitize win32 win64 e2e)
# The 64-bit build first: its tests under Wine then wait while the 32-bit
# one compiles.
run_order=(native sanitize win64 win32 e2e)
default_stages=("${all_stages[@]}")
stages=("$@")
(( ${#stages[@]} )) || stages=("${default_stages[@]}")
for stage in "${stages[@]}"; do
  [[ " ${all_stages[*]} " == *" $stage "* ]] || { echo "test.sh: unknown stage '$stage' (stages: ${all_stages[*]})" >&2; exit 2; }
done
wants() { [[ " ${stages[*]} " == *" $1 "* ]]; }

jobs=${VIRELTA_JOBS:-$(nproc)}
logs=$root/build/logs
wine_dir=$root/build/wine
template=$wine_dir/template
unit_prefix=$wine_dir/unit
run_started=$SECONDS

# --- bookkeeping ------------------------------------------------------------------
declare -A summary=() stage_cpu=()
total_passed=0
total_failed=0
cpu_stage=setup  # the stage whose processor seconds cpu_run counts
# On a busy machine the wall time says little; the processor seconds say what
# a stage costs.  The stages overlap, so this shell's own `times` cannot tell
# them apart: each command counts in a shell of its own (timed), whose
# `times` is written to a file when the command ends.
timed() {  # file command...
  local file=$1; shift
  ( "$@"; status=$?; times >"$file"; exit "$status" )
}
add_cpu() {  # stage times_file
  local seconds
  seconds=$(awk 'NR == 2 { split($0, t, /[ ms]+/); printf "%.1f", t[1] * 60 + t[2] + t[3] * 60 + t[4] }' "$2" 2>/dev/null)
  rm -f "$2"
  stage_cpu[$1]=$(awk -v a="${stage_cpu[$1]:-0}" -v b="${seconds:-0}" 'BEGIN { print a + b }')
}
cpu_run() {  # command...
  local file=$logs/.times-$RANDOM
  timed "$file" "$@"
  local status=$?
  add_cpu "$cpu_stage" "$file"
  return "$status"
}
record() {  # stage passed failed seconds note
  total_passed=$((total_passed + $2))
  total_failed=$((total_failed + $3))
  summary[$1]=$(printf '%-9s %6s passed %4s failed %6s s  %6.0f s cpu  %s' "$1" "$2" "$3" "$4" "${stage_cpu[$1]:-0}" "$5")
}

# Runs a command with its output in a log file; prints the log's end if it fails.
quietly() {  # log command...
  local log=$1; shift
  "$@" >>"$log" 2>&1 && return 0
  local rc=$?
  echo "---- last lines of $log ----"
  tail -n 60 "$log"
  return "$rc"
}

# Runs a command with its output in a log file and on the console.  No pipe:
# Wine's background processes would inherit it and keep the reader waiting.
visibly() {  # log command...
  local log=$1; shift
  "$@" >>"$log" 2>&1 </dev/null &
  local pid=$!
  tail -n +1 --pid="$pid" -f "$log"
  wait "$pid"
}

# ctest's closing line "N% tests passed, F tests failed out of T" -> "P F".
ctest_counts() {
  local line
  line=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$1" | tail -n 1)
  if [[ $line =~ ([0-9]+)\ tests?\ failed\ out\ of\ ([0-9]+) ]]; then
    echo "$(( BASH_REMATCH[2] - BASH_REMATCH[1] )) ${BASH_REMATCH[1]}"
  fi
}

# --- Wine ---------------------------------------------------------------------
# Debian's `wine` always starts Wine's 32-bit loader when it is installed; a
# kernel without 32-bit support cannot run it, and then not even a 64-bit
# program starts.  There a `wine` of our own goes straight to the 64-bit
# loader, so the 64-bit stages still run (the 32-bit ones report "untested").
choose_wine() {
  runs_32_bit && wine --version >/dev/null 2>&1 && return 0
  local loader=/usr/lib/wine/wine64
  "$loader" --version >/dev/null 2>&1 || return 0
  mkdir -p "$wine_dir/bin"
  printf '#!/bin/sh\nexport WINELOADER=%s\nexec %s "$@"\n' "$loader" "$loader" >"$wine_dir/bin/wine"
  chmod +x "$wine_dir/bin/wine"
  export PATH=$wine_dir/bin:$PATH
  echo "wine: this machine cannot run 32-bit programs; 64-bit ones run through $loader"
}

# Whether this machine's kernel runs 32-bit programs (Wine's 32-bit loader is
# one); some virtual machines' kernels are built without that support.
runs_32_bit() {
  [[ ! -e /usr/lib/wine/wine ]] || /usr/lib/wine/wine --version >/dev/null 2>&1
}

# Whether this machine runs the build's Windows programs: one test program
# lists its tests.  A failure here means "could not test", not "failed".
runs_programs_of() {  # build_dir
  local probe
  probe=$(ninja -C "$1" -t targets all 2>/dev/null | sed -n 's/^\(tests\/test_[A-Za-z0-9_]*\.exe\): .*/\1/p' | head -n 1)
  [[ -n $probe && -f $1/$probe ]] && "${unit_wine[@]}" wine "$1/$probe" --gtest_list_tests </dev/null >/dev/null 2>&1
}

template_pid=
template_status=0
unit_prefix_up=0

start_template() {
  mkdir -p "$wine_dir"
  if [[ ${VIRELTA_REUSE_PREFIX:-0} == 1 && -f $template/system.reg ]]; then return; fi
  # Made in the background while the native builds run.
  timed "$logs/.times-template" python3 tests/e2e/prefix.py make "$template" >"$logs/wine-template.log" 2>&1 </dev/null &
  template_pid=$!
}

wait_template() {
  if [[ -n $template_pid ]]; then
    wait "$template_pid"
    template_status=$?
    template_pid=
    add_cpu "$cpu_stage" "$logs/.times-template"
    echo "wine: template prefix $( ((template_status)) && echo FAILED || echo ready) (log: build/logs/wine-template.log)"
  fi
  return "$template_status"
}

unit_wine=()
unit_xvfb_pid=
unit_display=

# The Windows unit tests of the form layer open real windows: they get an
# Xvfb of their own (a free display picked by -displayfd).
start_unit_display() {
  local number=$wine_dir/unit-display
  rm -f "$number"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$number" \
    </dev/null >"$logs/unit-xvfb.log" 2>&1 &
  unit_xvfb_pid=$!
  for _ in $(seq 200); do
    [[ -s $number ]] && { unit_display=:$(head -n 1 "$number"); return 0; }
    sleep 0.1
  done
  return 1
}

# One prefix for the unit tests of both Windows builds, warmed up with every
# output on /dev/null and kept up by a persistent wineserver until the end.
start_unit_prefix() {
  (( unit_prefix_up )) && return 0
  wait_template || return 1
  start_unit_display || return 1
  unit_wine=(env DISPLAY="$unit_display" WINEPREFIX="$unit_prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=")
  python3 tests/e2e/prefix.py clone "$template" "$unit_prefix" || return 1
  "${unit_wine[@]}" wineserver -p || return 1
  cpu_run "${unit_wine[@]}" wine wineboot </dev/null >/dev/null 2>&1 || return 1
  unit_prefix_up=1
}

cleanup() {
  if [[ -n $tests_pid ]]; then  # a session of its own: the tests' programs end with it
    kill -- -"$tests_pid" 2>/dev/null
    wait "$tests_pid" 2>/dev/null
    tests_pid=
  fi
  if (( unit_prefix_up )); then
    "${unit_wine[@]}" wineserver -k >/dev/null 2>&1
    unit_prefix_up=0
  fi
  if [[ -n $unit_xvfb_pid ]]; then
    kill "$unit_xvfb_pid" 2>/dev/null
    wait "$unit_xvfb_pid" 2>/dev/null
    unit_xvfb_pid=
  fi
  if [[ -n $template_pid ]]; then
    kill "$template_pid" 2>/dev/null
    WINEPREFIX=$template wineserver -k >/dev/null 2>&1
  fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# --- stages -----------------------------------------------------------------------
declare -A build_result=()

# Configures and builds a preset once per run; -k 0 builds every target that
# can be built, so one broken file does not hide the other results.
build_preset() {  # preset log
  local preset=$1 log=$2
  if [[ -z ${build_result[$preset]:-} ]]; then
    echo "$preset: configure and build (log: ${log#"$root"/})"
    if ! cpu_run quietly "$log" cmake --preset "$preset"; then
      build_result[$preset]=unconfigured
    elif ! cpu_run quietly "$log" cmake --build --preset "$preset" -j "$jobs" $(preset_targets "$preset") -- -k 0; then
      build_result[$preset]=failed
    else
      build_result[$preset]=ok
    fi
  fi
  [[ ${build_result[$preset]} == ok ]]
}

# What a preset builds: the native one everything; the others what their
# stages run: the unit-test programs and virelta-fx (its test runs it), and
# for the Windows presets the saver and the e2e helper, and the 32-bit Lab.
preset_targets() {  # preset
  [[ $1 == native ]] && return 0
  local wanted=(virelta-fx) tests='test_[A-Za-z0-9_]+|' targets
  # The build whose programs the e2e stage runs in full brings the Lab too;
  # a 32-bit build this machine cannot run is built without its tests.
  case $1 in
    win32) wanted+=(virelta_scr vtest-helper virelta_lab_exe)
           runs_32_bit || tests= ;;
    win64) wanted+=(virelta_scr vtest-helper)
           runs_32_bit || wanted+=(virelta_lab_exe) ;;
    native-sanitize) wanted+=(virelta virelta-render virelta-x11-probe) ;;  # what the X11 test runs
  esac
  targets=$(ninja -C "$root/build/$1" -t targets all 2>/dev/null | sed -n 's/^\([A-Za-z0-9_-]*\): phony$/\1/p' |
    grep -xE "$tests$(IFS='|'; echo "${wanted[*]}")")
  [[ -n $targets ]] && echo "--target" $targets
}

# The build's file target whose name ends in $2, e.g. platforms/win32/Virelta.scr.
file_target() {  # build_dir file_name
  ninja -C "$1" -t targets all 2>/dev/null | sed -n "s/^\([^:]*\/\)\{0,1\}\($2\): .*/\1\2/p" | head -n 1
}

# The stage whose ctest runs in the background (one at a time), and what
# finish_tests needs to record it.
tests_pid=
tests_stage=
tests_started=0
tests_note=
tests_build_failures=0

# Builds a preset and starts its ctest in the background; `wine` marks the
# Windows presets.  finish_tests waits for it and records the stage.
ctest_stage() {  # stage preset [wine]
  local stage=$1 preset=$2 under_wine=${3:-}
  local log=$logs/$stage.log started=$SECONDS result=$logs/$stage.result
  cpu_stage=$stage
  : >"$log"
  echo failed >"$result"
  echo "==== $stage: build ===="
  local build_failures=0 note=""
  if ! build_preset "$preset" "$log"; then
    build_failures=1
    note="build failed"
    if [[ ${build_result[$preset]} == unconfigured ]]; then
      record "$stage" 0 1 $((SECONDS - started)) "configure failed"
      return
    fi
  fi
  local test_log=$logs/$stage-ctest.log
  : >"$test_log"
  if [[ -n $under_wine ]]; then
    if ! start_unit_prefix >>"$log" 2>&1; then
      (( build_failures )) || echo untested >"$result"
      record "$stage" 0 $((build_failures + 1)) $((SECONDS - started)) "no Wine prefix (see build/logs/wine-template.log)"
      return
    fi
    if [[ $preset == win32 ]] && ! runs_32_bit; then
      # Not a failure of the program: the machine cannot run it. The build
      # above still checks that it compiles; the e2e stage runs the 64-bit one.
      (( build_failures )) || echo untested >"$result"
      record "$stage" 0 "$build_failures" $((SECONDS - started)) "built only: this machine's kernel cannot run 32-bit programs"
      return
    fi
    if (( ! build_failures )) && ! runs_programs_of "$root/build/$preset"; then
      echo untested >"$result"
      record "$stage" 0 1 $((SECONDS - started)) "untested: this machine cannot run its programs under Wine"
      return
    fi
  fi
  finish_tests
  # A session of its own, so that an interrupted run can end the tests' programs with it.
  setsid --wait bash -c '"${@:2}"; status=$?; times >"$1"; exit "$status"' times "$logs/.times-$stage-tests" \
    ${under_wine:+"${unit_wine[@]}"} ctest --preset "$preset" -j "$jobs" --timeout 900 >"$test_log" 2>&1 </dev/null &
  tests_pid=$! tests_stage=$stage tests_started=$started tests_note=$note tests_build_failures=$build_failures
  echo "$stage: tests started in the background (log: ${test_log#"$root"/})"
}

# Waits for the stage whose tests run in the background, shows their log and records it.
finish_tests() {
  [[ -n $tests_pid ]] || return 0
  wait "$tests_pid"
  tests_pid=
  local stage=$tests_stage test_log=$logs/$tests_stage-ctest.log counts
  add_cpu "$stage" "$logs/.times-$stage-tests"
  echo "==== $stage: tests ===="
  cat "$test_log"
  counts=$(ctest_counts "$test_log")
  if [[ -z $counts ]]; then
    record "$stage" 0 $((tests_build_failures + 1)) $((SECONDS - tests_started)) "${tests_note:+$tests_note, }ctest ran no test"
  else
    record "$stage" "${counts% *}" $((${counts#* } + tests_build_failures)) $((SECONDS - tests_started)) "$tests_note"
    (( ${counts#* } + tests_build_failures == 0 && ${counts% *} > 0 )) && echo passed >"$logs/$stage.result"
  fi
}

e2e_stage() {
  # Unit tests still running under Wine would share the processor with the
  # end-to-end tests, several of which time how fast the saver answers.
  finish_tests
  local log=$logs/e2e.log started=$SECONDS
  cpu_stage=e2e
  : >"$log"
  echo "==== e2e ===="
  # The Windows stages have built both presets in a full run.  A failure
  # elsewhere in a build still lets the tests run if its saver and helper
  # are there.  Without the 32-bit ones nothing runs; without the 64-bit
  # ones the 64-bit tests fail (a saver that is not there).
  local preset saver helper args=()
  declare -A names=([win32]="VIRELTA_SCR VTEST_HELPER" [win64]="VIRELTA_SCR64 VTEST_HELPER64")
  for preset in win32 win64; do
    build_preset "$preset" "$logs/$preset.log"
    saver=$(file_target "build/$preset" 'Virelta\.scr')
    helper=$(file_target "build/$preset" 'vtest-helper\.exe')
    set -- ${names[$preset]}
    if [[ -n $saver && -n $helper ]] && cpu_run quietly "$log" cmake --build "build/$preset" -j "$jobs" --target "$saver" "$helper"; then
      args+=("$1=$root/build/$preset/$saver" "$2=$root/build/$preset/$helper")
    elif [[ $preset == win64 ]]; then
      args+=("$1=$root/build/win64/not-built/Virelta.scr")
    else
      record e2e 0 1 $((SECONDS - started)) "the $preset saver or helper did not build"
      return
    fi
  done
  if ! wait_template; then
    record e2e 0 1 $((SECONDS - started)) "no Wine prefix (see build/logs/wine-template.log)"
    return
  fi
  # Where 32-bit programs cannot run, every test runs against the 64-bit saver.
  local which=()
  runs_32_bit || which=(--all-x64)
  cpu_run visibly "$log" env VTEST_TEMPLATE="$template" VTEST_BUILD_DIR="$root/build/win32" "${args[@]}" \
    timeout --kill-after=30 2400 python3 tests/e2e/run.py "${which[@]}"
  local line
  line=$(grep -E '^e2e: [0-9]+ passed, [0-9]+ failed' "$log" | tail -n 1)
  if [[ $line =~ ^e2e:\ ([0-9]+)\ passed,\ ([0-9]+)\ failed ]]; then
    record e2e "${BASH_REMATCH[1]}" "${BASH_REMATCH[2]}" $((SECONDS - started)) ""
  else
    record e2e 0 1 $((SECONDS - started)) "the harness did not finish (see build/logs/e2e.log)"
  fi
}

# --- the run ------------------------------------------------------------------------
mkdir -p "$logs"
started=$SECONDS
if ! cpu_run scripts/setup.sh; then
  echo "total: 0 passed, 1 failed"
  exit 1
fi
record setup 0 0 $((SECONDS - started)) ""

if wants win32 || wants win64 || wants e2e; then
  choose_wine
  start_template
fi
for stage in "${run_order[@]}"; do
  wants "$stage" || continue
  case $stage in
    native) ctest_stage native native ;;
    sanitize) ctest_stage sanitize native-sanitize ;;
    win32|win64) ctest_stage "$stage" "$stage" wine ;;
    e2e) e2e_stage ;;
  esac
done
finish_tests
cleanup

total_cpu=0
for stage in "${!stage_cpu[@]}"; do total_cpu=$(awk -v a="$total_cpu" -v b="${stage_cpu[$stage]}" 'BEGIN { print a + b }'); done
echo
printf '==== summary (%d min %d s, %.0f s cpu) ====\n' $(( (SECONDS - run_started) / 60 )) $(( (SECONDS - run_started) % 60 )) "$total_cpu"
for stage in setup "${all_stages[@]}"; do
  [[ -n ${summary[$stage]:-} ]] && echo "${summary[$stage]}"
done
echo "total: $total_passed passed, $total_failed failed"
(( total_failed == 0 ))
