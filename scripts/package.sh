#!/usr/bin/env bash
# Makes the release zip: out/Virelta-<version>.zip with
#
#   Virelta-<version>/x86/Virelta.scr      32-bit saver (SysWOW64 on 64-bit Windows)
#   Virelta-<version>/x64/Virelta.scr      64-bit saver (System32 on 64-bit Windows)
#   Virelta-<version>/x86|x64/VireltaLab.exe   the Effects Lab, when the build has it
#   Virelta-<version>/README.md, LICENSE
#
#   scripts/package.sh            builds the win32 and win64 presets (build/win32,
#                                 build/win64), runs their unit tests under Wine
#                                 (scripts/test.sh win32 win64) and packs the
#                                 programs of each build whose tests passed
#   --untested                    packs a build this machine could not test too
#   --without-lab                 leaves the Effects Lab out
#
# A build whose tests failed is never packed; one that could not be tested
# (Wine cannot run its programs here) only with --untested.  Every program
# must carry version information (FileVersion <version>); the script stops
# if one does not. The zip's entries have fixed times, so the same programs
# give the same zip.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

untested_ok=0
with_lab=1
for option in "$@"; do
  case $option in
    --untested) untested_ok=1 ;;
    --without-lab) with_lab=0 ;;
    *) echo "package.sh: unknown option $option" >&2; exit 2 ;;
  esac
done
jobs=${VIRELTA_JOBS:-2}
version=$(sed -n 's/.*VALUE "ProductVersion", "\([0-9.]*\)".*/\1/p' resources/virelta.rc)
[[ -n $version ]] || { echo "package.sh: no ProductVersion in resources/virelta.rc" >&2; exit 1; }
name=Virelta-$version
out=$root/out
stage=$out/stage/$name

declare -A preset=([x86]=win32 [x64]=win64)
logs=$root/build/logs

# The output path ninja knows for a program (empty when the build has none).
program_path() {
  ninja -C "$1" -t targets all 2>/dev/null | sed -n "s|^\([^:]*/$2\): .*|\1|p" | head -n 1
}

has_version() {  # file version
  # The version resource keeps its texts in UTF-16.
  strings -e l "$1" | grep -qx "$2" && strings -e l "$1" | grep -qx FileVersion
}

# The programs first (the unit tests build only what they run), then the
# unit tests of both builds in this run; their verdicts say what may ship.
for arch in x86 x64; do
  dir=$root/build/${preset[$arch]}
  cmake --preset "${preset[$arch]}" >/dev/null
  targets=(virelta_scr)
  (( with_lab )) && [[ -n $(program_path "$dir" VireltaLab.exe) ]] && targets+=(virelta_lab_exe)
  cmake --build "$dir" -j"$jobs" --target "${targets[@]}"
  rm -f "$logs/${preset[$arch]}.result"
done
VIRELTA_JOBS=$jobs scripts/test.sh win32 win64 || true
refused=()
for arch in x86 x64; do
  result=$(cat "$logs/${preset[$arch]}.result" 2>/dev/null || echo failed)
  case $result in
    passed) ;;
    untested)
      if (( untested_ok )); then
        echo "package.sh: packing the $arch programs UNTESTED (Wine could not run them here)" >&2
      else
        refused+=("the $arch build could not be tested here (Wine cannot run its programs); --untested packs it anyway")
      fi ;;
    *) refused+=("the $arch build failed its build or unit tests (build/logs/${preset[$arch]}*.log)") ;;
  esac
done
if (( ${#refused[@]} )); then
  printf 'package.sh: no zip: %s\n' "${refused[@]}" >&2
  exit 1
fi

rm -rf "$out/stage"
mkdir -p "$stage"
for arch in x86 x64; do
  dir=$root/build/${preset[$arch]}
  mkdir -p "$stage/$arch"
  saver=$dir/$(program_path "$dir" Virelta.scr)
  [[ -f $saver ]] || { echo "package.sh: no $arch Virelta.scr in $dir" >&2; exit 1; }
  cp "$saver" "$stage/$arch/Virelta.scr"
  lab=$( (( with_lab )) && program_path "$dir" VireltaLab.exe || true)
  if [[ -n $lab && -f $dir/$lab ]]; then
    cp "$dir/$lab" "$stage/$arch/VireltaLab.exe"
  elif (( with_lab )); then
    echo "package.sh: no $arch VireltaLab.exe built; the zip has only the saver for $arch" >&2
  fi
done

cp README.md LICENSE "$stage/"
for program in "$stage"/*/*.scr "$stage"/*/*.exe; do
  [[ -f $program ]] || continue
  has_version "$program" "$version" ||
    { echo "package.sh: $program has no version information $version" >&2; exit 1; }
done

zip_file=$out/$name.zip
rm -f "$zip_file"
find "$out/stage" -exec touch -h -d "2000-01-01 00:00:00" {} +
(cd "$out/stage" && find "$name" -type f | LC_ALL=C sort | zip -X -D -q "$zip_file" -@)
rm -rf "$out/stage"
echo "$zip_file"
unzip -l "$zip_file"
