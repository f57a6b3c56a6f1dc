# Sourced by the set-up, test and run commands: whether this machine executes 32-bit code.
# Some machines run 64-bit user code only (every i386 execve fails with "Exec format error");
# there Wine's 32-bit loader cannot start, and only the 64-bit program and tests can run.
#
#   orbex_runs_32bit      exit 0 when 32-bit code runs here; otherwise exit 1 with the reason in
#                         ORBEX_NO32_WHY. ORBEX_WINE_ARCH=win64 forces the answer to no.

# The clone's folder, taken when the file is sourced (callers change folders afterwards).
ORBEX_ARCH_TOP=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

orbex_runs_32bit() {
  ORBEX_NO32_WHY=""
  if [ "${ORBEX_WINE_ARCH:-}" = win64 ]; then
    ORBEX_NO32_WHY="the 32-bit path is switched off (ORBEX_WINE_ARCH=win64)"
    return 1
  fi
  # Where Wine's 32-bit loader is installed it is the authority; before it is, a 93-byte i386
  # program that only exits tells whether the kernel runs 32-bit code at all.
  if [ -x /usr/lib/wine/wine ]; then
    if /usr/lib/wine/wine --version >/dev/null 2>&1 </dev/null; then return 0; fi
    ORBEX_NO32_WHY="this machine cannot execute 32-bit code (Wine's 32-bit loader does not start: Exec format error)"
    return 1
  fi
  # Written into the clone (.deps), not /tmp, which may be mounted without execution.
  local probe rc deps
  deps="$ORBEX_ARCH_TOP/.deps"
  mkdir -p "$deps"
  probe="$deps/probe-i386"
  printf '\x7f\x45\x4c\x46\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x5d\x00\x00\x00\x5d\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00\xb8\x01\x00\x00\x00\x31\xdb\xcd\x80' >"$probe"
  chmod +x "$probe"
  "$probe" >/dev/null 2>&1 </dev/null
  rc=$?
  rm -f "$probe"
  [ "$rc" = 0 ] && return 0
  ORBEX_NO32_WHY="this machine cannot execute 32-bit code (an i386 program fails: Exec format error)"
  return 1
}
