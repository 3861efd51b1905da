#!/usr/bin/env bash
# Makes sure this Debian 12 machine has what building and testing Virelta
# needs: MinGW-w64, Wine (32 and 64 bit), Xvfb, the X tools and the Xlib
# headers, ImageMagick, a Japanese font and the ja_JP.UTF-8 locale.  Run it or
# source it.
#
# As root it installs what is missing (about 80 s and 600 MB on a fresh
# machine); otherwise it prints the one command to run and fails.  When
# everything is there it returns at once.
#
# OpenCV (libopencv-dev) is an optional comparison for the benchmarks and is
# left out: it would add hundreds of megabytes to every CI run.

virelta_packages=(
  wine wine32:i386 wine64
  g++-mingw-w64-i686 g++-mingw-w64-x86-64
  cmake ninja-build googletest libbenchmark-dev libpixman-1-dev
  xvfb xdotool imagemagick x11-utils x11-xserver-utils libx11-dev libxext-dev
  fonts-ipafont-gothic locales python3
)

virelta_setup() {
  # dpkg, not `command -v`: some images carry stand-ins (a `convert` in /usr/local/bin).
  local -A installed=()
  local name architecture status
  while read -r name architecture status; do
    [[ $status == "install ok installed" ]] || continue
    installed[$name]=1
    installed[$name:$architecture]=1
  done < <(dpkg-query -W -f='${Package} ${Architecture} ${Status}\n' "${virelta_packages[@]}" 2>/dev/null)
  local package missing=()
  for package in "${virelta_packages[@]}"; do
    [[ -n ${installed[$package]:-} ]] || missing+=("$package")
  done
  local need_locale=0
  locale -a 2>/dev/null | grep -qiE '^ja_JP\.utf-?8$' || need_locale=1
  if (( ${#missing[@]} == 0 && need_locale == 0 )); then
    return 0
  fi

  local steps=()
  if (( ${#missing[@]} > 0 )); then
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
      steps+=("dpkg --add-architecture i386")
    fi
    steps+=("apt-get update")
    steps+=("DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends ${missing[*]}")
  fi
  if (( need_locale )); then
    steps+=("localedef -i ja_JP -f UTF-8 ja_JP.UTF-8")
  fi
  local command
  command=$(printf ' && %s' "${steps[@]}")
  command=${command# && }

  if (( EUID != 0 )); then
    local what=("${missing[@]}")
    (( need_locale )) && what+=("the ja_JP.UTF-8 locale")
    echo "setup: missing: ${what[*]}" >&2
    echo "setup: run this once, then try again:" >&2
    echo "  sudo sh -c '$command'" >&2
    return 1
  fi

  local log=${TMPDIR:-/tmp}/virelta-setup.log started=$SECONDS
  echo "setup: installing ${#missing[@]} packages${missing[*]:+: ${missing[*]}} (log: $log)"
  if ! sh -c "$command" </dev/null >"$log" 2>&1; then
    tail -n 30 "$log" >&2
    echo "setup: failed; see $log" >&2
    return 1
  fi
  echo "setup: done in $((SECONDS - started)) s"
}

if [[ "${BASH_SOURCE[0]}" == "$0" ]]; then
  virelta_setup
  exit
else
  virelta_setup
fi
