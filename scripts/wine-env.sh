# Sourced by the test and run commands: a private virtual display (unless one is asked to use
# the current display), a private Wine prefix of the build's kind (32- or 64-bit) inside the
# build tree, and one persistent wineserver. Everything started here is recorded and stopped by
# orbex_wine_stop. The prefix is made anew when it was never finished or the registry settings
# (wine-setup.reg and the Windows version) changed since: its ready marker holds the settings'
# checksum. Two builds' environments can run side by side, each in a subshell of its own.
#
#   orbex_wine_start <build-dir> <win32|win64> [current|virtual] [windows-version]
#       sets DISPLAY, WINEPREFIX, WINEARCH, WINEDEBUG and ORBEX_WINDOWS_VERSION; without a
#       version the prefix is Wine's own ("wine"), with one (e.g. win10) a second prefix
#       "wine-<version>" in the build tree reports that version. For win64, "wine" on PATH
#       and WINELOADER are Wine's 64-bit loader.
#   orbex_wine_stop                          stops the server and the display it started

ORBEX_SCRIPTS=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# orbex_wine_loader64 <build-dir>: Debian's launchers ("wine", "wine-stable", and through them
# wineboot, winepath, regedit) choose the 32-bit loader whenever it is installed, even on a
# machine that cannot execute it: a private bin folder puts the 64-bit loader in their place.
orbex_wine_loader64() {
  local bin="$1/wine-bin" name
  mkdir -p "$bin"
  for name in wine wine-stable; do
    printf '#!/bin/sh\nexec /usr/lib/wine/wine64 "$@"\n' >"$bin/$name"
    chmod +x "$bin/$name"
  done
  export WINELOADER=/usr/lib/wine/wine64
  case ":$PATH:" in *":$bin:"*) ;; *) export PATH="$bin:$PATH" ;; esac
}

orbex_wine_start() {
  local build=$1 arch=$2 mode=${3:-virtual} version=${4:-}
  case "$arch" in
    win32|win64) ;;
    *) echo "wine-env: unknown kind '$arch' (win32 or win64)" >&2; return 1 ;;
  esac
  export WINEARCH=$arch WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  build=$(cd "$build" && pwd)
  [ "$arch" = win32 ] || orbex_wine_loader64 "$build"
  export WINEPREFIX="$build/wine${version:+-$version}" ORBEX_WINDOWS_VERSION="$version"
  ORBEX_XVFB_PID=""
  if [ "$mode" = current ] && [ -n "${DISPLAY:-}" ]; then
    :
  else
    local n
    for n in $(seq 91 140); do
      [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
      Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 </dev/null &
      ORBEX_XVFB_PID=$!
      local i
      for i in $(seq 1 100); do
        [ -e "/tmp/.X11-unix/X$n" ] && break
        kill -0 "$ORBEX_XVFB_PID" 2>/dev/null || break
        sleep 0.1
      done
      # Two environments started side by side may try one number at once: the display is ours
      # only when its lock names our server.
      if [ -e "/tmp/.X11-unix/X$n" ] && kill -0 "$ORBEX_XVFB_PID" 2>/dev/null &&
         [ "$(tr -d ' \n' <"/tmp/.X$n-lock" 2>/dev/null)" = "$ORBEX_XVFB_PID" ]; then
        export DISPLAY=":$n"
        break
      fi
      kill "$ORBEX_XVFB_PID" 2>/dev/null
      wait "$ORBEX_XVFB_PID" 2>/dev/null
      ORBEX_XVFB_PID=""
    done
    [ -n "$ORBEX_XVFB_PID" ] || { echo "wine-env: could not start Xvfb" >&2; return 1; }
  fi
  local settings
  settings=$( (cat "$ORBEX_SCRIPTS/wine-setup.reg"; echo "$arch"; [ -z "$version" ] || echo "Version=$version") | sha256sum | cut -d' ' -f1)
  if [ "$(cat "$WINEPREFIX/.orbex-ready" 2>/dev/null)" != "$settings" ]; then
    # A server still running on the old prefix would keep its registry: stop it first.
    wineserver -k >/dev/null 2>&1 </dev/null || true
    rm -rf "$WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 </dev/null
    wineserver -w
    wine regedit /S "$(winepath -w "$ORBEX_SCRIPTS/wine-setup.reg" 2>/dev/null)" </dev/null >/dev/null 2>&1
    [ -z "$version" ] || wine reg add 'HKCU\Software\Wine' /v Version /d "$version" /f </dev/null >/dev/null 2>&1
    wineserver -w
    echo "$settings" >"$WINEPREFIX/.orbex-ready"
  fi
  wineserver -p </dev/null >/dev/null 2>&1
  wine cmd /c exit </dev/null >/dev/null 2>&1
  # Wine closes the desktop a second after its last program ends, and the next program to need
  # one starts it as its own child, handing it that program's output pipes (ctest then waits
  # for the desktop process, a minute or more, after the test has finished). A program of the
  # build holds the desktop open, detached from every pipe, until the server stops.
  local holder="$build/tests/win/desktop_holder.exe"
  [ ! -f "$holder" ] || (wine "$holder" </dev/null >/dev/null 2>&1 &)
  return 0
}

orbex_wine_stop() {
  if [ -n "${WINEPREFIX:-}" ]; then
    wineserver -k >/dev/null 2>&1 || true
  fi
  if [ -n "${ORBEX_XVFB_PID:-}" ]; then
    kill "$ORBEX_XVFB_PID" 2>/dev/null || true
    wait "$ORBEX_XVFB_PID" 2>/dev/null || true
    ORBEX_XVFB_PID=""
  fi
}
