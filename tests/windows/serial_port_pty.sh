#!/bin/bash
# A serial printer for the Windows build under Wine: socat makes two linked pseudo-terminals,
# the COM port COM42 of the Wine prefix is linked to one of them (the printer's end), and what
# the driver writes there is read at the other. The Windows test writes its job through COM42
# and the bytes it expects; this script compares them and the line settings the driver chose.
#
#   serial_port_pty.sh WINE_RUN PREFIX PIRELL_TESTS_EXE
set -euo pipefail

wine_run=$1
prefix=$2
tests=$3
if ! command -v socat >/dev/null; then
  echo "serial_port_pty: socat is missing (Debian package socat)" >&2
  exit 1
fi

work=$(mktemp -d)
socat_pid=
reader_pid=
cleanup() {
  [[ -n $reader_pid ]] && kill "$reader_pid" 2>/dev/null
  [[ -n $socat_pid ]] && kill "$socat_pid" 2>/dev/null
  wait 2>/dev/null || true
  rm -f "$prefix/dosdevices/com42"
  rm -rf "$work"
}
trap cleanup EXIT

socat pty,raw,echo=0,link="$work/printer" pty,raw,echo=0,link="$work/reader" &
socat_pid=$!
for _ in $(seq 100); do
  [[ -e $work/printer && -e $work/reader ]] && break
  sleep 0.05
done
[[ -e $work/printer && -e $work/reader ]] || { echo "serial_port_pty: no pty from socat" >&2; exit 1; }

"$wine_run" "$prefix" --init
ln -sfn "$work/printer" "$prefix/dosdevices/com42"
# The reader ends with an I/O error when socat goes at the end; that is no failure.
timeout 120 cat "$work/reader" >"$work/received" 2>/dev/null &
reader_pid=$!

PIRELL_TEST_SERIAL_PORT=COM42 PIRELL_TEST_SERIAL_EXPECTED="Z:$work/expected" \
  "$wine_run" "$prefix" "$tests" --gtest_filter='WindowsSerialPortTest.*'

[[ -s $work/expected ]] || { echo "serial_port_pty: the Windows test wrote no job" >&2; exit 1; }
# The line settings the driver chose, as the pseudo-terminal keeps them (it always has 8 data
# bits and no parity).
settings=$(stty -F "$work/printer" -a)
for wanted in "speed 19200 baud" " cstopb" " crtscts"; do
  if [[ $settings != *"$wanted"* ]]; then
    echo "serial_port_pty: the line is not set to '$wanted':" >&2
    echo "$settings" >&2
    exit 1
  fi
done
expected_size=$(stat -c %s "$work/expected")
for _ in $(seq 100); do
  [[ $(stat -c %s "$work/received") -ge $expected_size ]] && break
  sleep 0.05
done
if ! cmp "$work/expected" "$work/received"; then
  echo "serial_port_pty: the printer received other bytes:" >&2
  od -c "$work/received" | head -20 >&2
  exit 1
fi
echo "serial_port_pty: $expected_size bytes through COM42, line 19200 baud, 2 stop bits, CTS"
