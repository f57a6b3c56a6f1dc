#!/usr/bin/env bash
# Installs everything Orbex needs on a Debian 12 machine, from the distribution's packages.
# Idempotent: when every package is present it only checks and returns in about a second.
# Run as root (or with sudo available).
set -euo pipefail

SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO="sudo"; fi

PKGS=(
  # cross builds of the program and its Windows tests, 32- and 64-bit
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix libz-mingw-w64-dev cmake ninja-build googletest
  # running them: Wine (64-bit; the 32-bit loader below), a virtual display, screenshots,
  # driving, serial line
  wine wine64 xvfb imagemagick xdotool socat fonts-wine
  # native build of the window-free core: sanitizers, fuzzers, benchmarks, test oracles
  g++ clang libclang-rt-14-dev zlib1g-dev libjpeg62-turbo-dev libgtest-dev libbenchmark-dev libpng-dev
  # cross build of libjpeg-turbo from its source package
  dpkg-dev nasm python3
)
# Wine's 32-bit loader, only where this machine executes 32-bit code: elsewhere it cannot
# start, and the 64-bit program and tests are what runs.
PKGS32=(wine32:i386)

missing_of() {
  local p
  for p in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
      echo "$p"
    fi
  done
}

updated=""
apt_update() {
  [ -z "$updated" ] || return 0
  updated=1
  # A mirror caught mid-sync fails an index now and then: try again, and go on with what
  # was read if it still fails (the install says clearly what it could not find).
  local try
  for try in 1 2 3; do
    $SUDO apt-get update -qq && return 0
    echo "setup: package index update failed (try $try of 3)" >&2
    sleep $((try * 5))
  done
}
apt_install() {
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "$@" >/dev/null
}

mapfile -t missing < <(missing_of "${PKGS[@]}")
if [ "${#missing[@]}" -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  apt_update
  apt_install "${missing[@]}" || { echo "setup: could not install ${missing[*]}" >&2; exit 1; }
fi

. "$(dirname "$0")/wine-arch.sh"
if orbex_runs_32bit; then
  mapfile -t missing < <(missing_of "${PKGS32[@]}")
  if [ "${#missing[@]}" -gt 0 ]; then
    echo "setup: installing ${missing[*]}"
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
      $SUDO dpkg --add-architecture i386
      updated=""
    fi
    apt_update
    # Without it only the 64-bit suites run; the test command says so in its summary.
    apt_install "${missing[@]}" || echo "setup: could not install ${missing[*]}: the 32-bit program and tests will not run here" >&2
  fi
else
  echo "setup: no 32-bit Wine: $ORBEX_NO32_WHY"
fi
echo "setup: all packages present"

# libjpeg-turbo's source for the MinGW cross build (no MinGW binary package exists).
# It is fetched through a private deb-src list so the system's apt sources stay untouched,
# and unpacked into .deps/ inside the clone; the build tree compiles it.
top=$(cd "$(dirname "$0")/.." && pwd)
deps="$top/.deps"
if [ ! -f "$deps/libjpeg-turbo/CMakeLists.txt" ]; then
  echo "setup: fetching libjpeg-turbo source"
  mkdir -p "$deps/apt/lists/partial" "$deps/apt/cache/archives/partial" "$deps/apt/parts"
  src=$(grep -h '^URIs:' /etc/apt/sources.list.d/debian.sources 2>/dev/null | head -n 1 | awk '{print $2}')
  [ -n "$src" ] || src="http://deb.debian.org/debian"
  cat > "$deps/apt/parts/src.sources" <<SRC
Types: deb-src
URIs: $src
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
  APTO=(-o Dir::Etc::SourceList=/dev/null -o "Dir::Etc::SourceParts=$deps/apt/parts"
        -o "Dir::State::Lists=$deps/apt/lists" -o "Dir::Cache=$deps/apt/cache")
  apt-get "${APTO[@]}" update -qq
  rm -rf "$deps/src" && mkdir -p "$deps/src"
  (cd "$deps/src" && apt-get "${APTO[@]}" source -qq libjpeg-turbo >/dev/null 2>&1)
  d=$(find "$deps/src" -maxdepth 1 -mindepth 1 -type d -name 'libjpeg-turbo*' | head -n 1)
  [ -n "$d" ] || { echo "setup: could not fetch libjpeg-turbo source" >&2; exit 1; }
  rm -rf "$deps/libjpeg-turbo" && mv "$d" "$deps/libjpeg-turbo" && rm -rf "$deps/src"
fi
echo "setup: libjpeg-turbo source present"
