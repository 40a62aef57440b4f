#!/bin/bash
# Print queues of the Windows build under Wine: a CUPS server of the test's own (configuration,
# spool and logs in a temporary folder, a port on 127.0.0.1) with a raw queue whose backend
# appends each job to a file. Wine's spooler takes its printers from the CUPS server that
# CUPS_SERVER names, so the Windows test prints through OpenPrinterW/WritePrinter to that queue.
# The server is stopped at the end. Exit status 77 (skipped) only when cupsd is not installed.
#
#   print_queue_cups.sh WINE_RUN PREFIX PIRELL_TESTS_EXE
set -euo pipefail

wine_run=$1
prefix=$2
tests=$3
cupsd=/usr/sbin/cupsd
cups_exec=/usr/lib/cups/daemon/cups-exec
if [[ ! -x $cupsd || ! -x $cups_exec ]]; then
  echo "print_queue_cups: cupsd is not installed (Debian package cups-daemon): skipped"
  exit 77
fi

work=$(mktemp -d)
cupsd_pid=
cleanup() {
  if [[ -n $cupsd_pid ]]; then
    kill "$cupsd_pid" 2>/dev/null || true
    for _ in $(seq 100); do kill -0 "$cupsd_pid" 2>/dev/null || break; sleep 0.05; done
    kill -9 "$cupsd_pid" 2>/dev/null || true
    wait "$cupsd_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

# A port on 127.0.0.1 where nobody listens yet.
port=
for _ in $(seq 20); do
  candidate=$((20000 + RANDOM % 30000))
  if ! (exec 3<>"/dev/tcp/127.0.0.1/$candidate") 2>/dev/null; then
    port=$candidate
    break
  fi
done
[[ -n $port ]] || { echo "print_queue_cups: no free port" >&2; exit 1; }
mkdir -p "$work"/{spool,cache,state,log,bin/backend,bin/daemon}
ln -s "$cups_exec" "$work/bin/daemon/cups-exec"
cat >"$work/bin/backend/capture" <<'BACKEND'
#!/bin/sh
[ $# -eq 0 ] && { echo 'direct capture "Unknown" "Capture"'; exit 0; }
target="${DEVICE_URI#capture:}"
if [ -n "$6" ]; then cat "$6" >> "$target"; else cat >> "$target"; fi
BACKEND
# 0700: a server running as root runs the backend as root, so it may write into this folder.
chmod 0700 "$work/bin/backend/capture"
if [[ $(id -u) -eq 0 ]]; then
  run_as="User lp
Group lp"
else
  run_as="User $(id -un)
Group $(id -gn)"
fi
cat >"$work/cupsd.conf" <<CONF
Listen 127.0.0.1:$port
LogLevel warn
WebInterface No
Browsing No
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
CONF
cat >"$work/cups-files.conf" <<CONF
ServerRoot $work
ServerBin $work/bin
RequestRoot $work/spool
TempDir $work/spool
CacheDir $work/cache
StateDir $work/state
AccessLog $work/log/access_log
ErrorLog $work/log/error_log
PageLog $work/log/page_log
$run_as
CONF
cat >"$work/printers.conf" <<CONF
<Printer PirellLabels>
Info Pirell test queue
DeviceURI capture:$work/labels.prn
State Idle
Accepting Yes
Shared No
</Printer>
CONF
chmod 0600 "$work/printers.conf"

"$cupsd" -f -c "$work/cupsd.conf" -s "$work/cups-files.conf" &
cupsd_pid=$!
for _ in $(seq 100); do
  (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && break
  sleep 0.05
done

CUPS_SERVER=127.0.0.1:$port PIRELL_TEST_PRINT_QUEUE=PirellLabels \
  PIRELL_TEST_PRINT_QUEUE_OUTPUT="Z:$work/labels.prn" \
  "$wine_run" "$prefix" "$tests" --gtest_filter='WindowsPrintQueueTest.*' || {
  status=$?
  echo "print_queue_cups: the server's log:" >&2
  cat "$work/log/error_log" >&2 2>/dev/null || true
  exit "$status"
}
