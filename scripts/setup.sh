#!/usr/bin/env bash
# Installs everything Orbex needs on a Debian 12 machine, from the distribution's packages.
# Idempotent: when every package is present it only checks and returns in about a second.
# Run as root (or with sudo available).
set -euo pipefail

SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO="sudo"; fi

PKGS=(
  # cross build of the program and its Windows tests
  g++-mingw-w64-i686-posix libz-mingw-w64-dev cmake ninja-build googletest
  # running it: Wine (32-bit), a virtual display, screenshots, driving, serial line
  wine wine32:i386 xvfb imagemagick xdotool socat fonts-wine
  # native build of the window-free core: sanitizers, fuzzers, benchmarks, test oracles
  g++ clang libclang-rt-14-dev zlib1g-dev libjpeg62-turbo-dev libgtest-dev libbenchmark-dev libpng-dev
  # cross build of libjpeg-turbo from its source package
  dpkg-dev nasm python3
)

missing=()
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
  need_update=1
fi
for p in "${PKGS[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ "${#missing[@]}" -gt 0 ] || [ -n "${need_update:-}" ]; then
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
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
