#!/usr/bin/env bash
# Makes the release zip: out/Virelta-<version>.zip with
#
#   Virelta-<version>/x86/Virelta.scr      32-bit saver (SysWOW64 on 64-bit Windows)
#   Virelta-<version>/x64/Virelta.scr      64-bit saver (System32 on 64-bit Windows)
#   Virelta-<version>/x86|x64/VireltaLab.exe   the Effects Lab, when the build has it
#   Virelta-<version>/README.md, LICENSE
#
#   scripts/package.sh            builds the Release programs first (build/package-x86, -x64)
#   scripts/package.sh --no-build packs what those folders hold
#   --without-lab                 leaves the Effects Lab out
#
# Every program must carry version information (FileVersion <version>);
# the script stops if one does not. The zip's entries have fixed times, so
# the same programs give the same zip.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

build=1
with_lab=1
for option in "$@"; do
  case $option in
    --no-build) build=0 ;;
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

declare -A toolchain=([x86]=cmake/toolchain-mingw-i686.cmake [x64]=cmake/toolchain-mingw-x86_64.cmake)

# The output path ninja knows for a program (empty when the build has none).
program_path() {
  ninja -C "$1" -t targets all 2>/dev/null | sed -n "s|^\([^:]*/$2\): .*|\1|p" | head -n 1
}

has_version() {  # file version
  # The version resource keeps its texts in UTF-16.
  strings -e l "$1" | grep -qx "$2" && strings -e l "$1" | grep -qx FileVersion
}

rm -rf "$out/stage"
mkdir -p "$stage"
for arch in x86 x64; do
  dir=$root/build/package-$arch
  if (( build )); then
    cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE="$root/${toolchain[$arch]}" >/dev/null
    cmake --build "$dir" -j"$jobs" --target virelta_scr
    lab=$( (( with_lab )) && program_path "$dir" VireltaLab.exe || true)
    [[ -z $lab ]] || cmake --build "$dir" -j"$jobs" --target "$lab"
  fi
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
