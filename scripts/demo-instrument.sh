# Sourced by scripts/run.sh: the demonstration instrument. Starts a raw pty pair, maps its one
# end to COM7 in the Wine prefix, runs the instrument emulator with a sine wave on the other
# end, and records a fake attached instrument on COM7 in the prefix's registry, so that the
# "Select device" dialog lists it and connecting to it shows a live trace.
#
#   demo_instrument_start <build-dir>   needs WINEPREFIX (orbex_wine_start); sets DEMO_PIDS,
#                                       the processes the caller stops when it is done (on
#                                       failure it stops them itself and returns 1)

# Stops what demo_instrument_start started so far.
demo_instrument_abort() {
  local p
  for p in "${DEMO_PIDS[@]}"; do kill "$p" 2>/dev/null; wait "$p" 2>/dev/null; done
  DEMO_PIDS=()
  return 1
}

demo_instrument_start() {
  local build
  build=$(cd "$1" && pwd) || return 1
  DEMO_PIDS=()
  [ -n "${WINEPREFIX:-}" ] || { echo "demo-instrument: WINEPREFIX is not set" >&2; return 1; }
  local emu="$build/host-tools/bin/orbex-emu"
  [ -x "$emu" ] || emu="$build/tools/bin/orbex-emu"
  [ -x "$emu" ] || { echo "demo-instrument: orbex-emu is not built" >&2; return 1; }
  command -v socat >/dev/null || { echo "demo-instrument: socat is missing" >&2; return 1; }

  local dir="$build/demo-instrument"
  mkdir -p "$dir"
  rm -f "$dir/ttyApp" "$dir/ttyEmu"
  socat pty,raw,echo=0,link="$dir/ttyApp" pty,raw,echo=0,link="$dir/ttyEmu" \
    >/dev/null 2>"$dir/socat.log" </dev/null &
  DEMO_PIDS+=($!)
  local i
  for i in $(seq 1 100); do
    [ -e "$dir/ttyApp" ] && [ -e "$dir/ttyEmu" ] && break
    sleep 0.05
  done
  if [ ! -e "$dir/ttyEmu" ]; then
    echo "demo-instrument: socat did not make the pty pair" >&2
    demo_instrument_abort
    return 1
  fi
  ln -sfn "$dir/ttyApp" "$WINEPREFIX/dosdevices/com7"

  # Run mode "Run", 0.1ms/div; DC coupling, probe x1, 1v/div.
  "$emu" --mode frames --wave sine --rate 10 --b4 0x4A --b5 0x24 "$dir/ttyEmu" \
    >/dev/null 2>"$dir/emu.log" </dev/null &
  DEMO_PIDS+=($!)

  # The attached instrument as the device set-up sees it: the USB device with its port name,
  # and its device interface, marked linked so that the present-devices query returns it.
  local guid='{a5dcbf10-6530-11d2-901f-00c04fb951ed}'
  local enum='HKLM\System\CurrentControlSet\Enum\USB\VID_5E3A&PID_0D21\0001'
  local iface="HKLM\\System\\CurrentControlSet\\Control\\DeviceClasses\\$guid\\##?#USB#VID_5E3A&PID_0D21#0001#$guid"
  {
    wine reg add "$enum" /v HardwareID /t REG_MULTI_SZ /d 'USB\Vid_5e3a&Pid_0d21&Rev_0001' /f &&
    wine reg add "$enum" /v DeviceDesc /t REG_SZ /d 'Orbex' /f &&
    wine reg add "$enum" /v ClassGUID /t REG_SZ /d '{4d36e978-e325-11ce-bfc1-08002be10318}' /f &&
    wine reg add "$enum\\Device Parameters" /v PortName /t REG_SZ /d 'COM7' /f &&
    wine reg add "$iface" /v DeviceInstance /t REG_SZ /d 'USB\VID_5E3A&PID_0D21\0001' /f &&
    wine reg add "$iface\\#" /v SymbolicLink /t REG_SZ \
      /d "\\\\?\\USB#VID_5E3A&PID_0D21#0001#$guid" /f &&
    wine reg add "$iface\\#\\Control" /v Linked /t REG_DWORD /d 1 /f
  } </dev/null >"$dir/reg.log" 2>&1 || {
    echo "demo-instrument: could not write the registry (see $dir/reg.log)" >&2
    demo_instrument_abort
    return 1
  }
  return 0
}
