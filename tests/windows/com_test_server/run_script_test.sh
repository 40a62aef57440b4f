#!/bin/bash
# Registers a COM server DLL under Wine, runs a script against it with the script host
# (run_script_session.sh), unregisters the DLL and checks the registry.
#
#   run_script_test.sh WINE_RUN PREFIX DLL CLASS_ID PROG_ID SCRIPT WORK_DIR \
#                      [EXPECTED_CAPTURE DEVICE_ID [JOBS_DIR]]
#
# CLASS_ID (GUID text without braces) and PROG_ID are the class the DLL registers. The script,
# the work folder and the optional capture check are those of run_script_session.sh.
set -u

wine_run=$1
prefix=$2
dll=$3
class_key="HKCR\\CLSID\\{$4}"
prog_id_key="HKCR\\$5"
script=$6
work=$7

# shellcheck source=../wine_shell.sh
source "$(dirname "${BASH_SOURCE[0]}")/../wine_shell.sh"

run regsvr32 /s "$(windows_path "$dll")" || fail "regsvr32 could not register $dll"
trap 'run regsvr32 /u /s "$(windows_path "$dll")" >/dev/null 2>&1' EXIT

reg_status=0
threading_model=$(run reg query "$class_key\\InprocServer32" /v ThreadingModel 2>&1) || reg_status=$?
grep -q 'Apartment' <<<"$threading_model" ||
  fail "no ThreadingModel Apartment under $class_key (reg query: status $reg_status, output:" \
    "$threading_model)"
run reg query "$prog_id_key\\CLSID" >/dev/null 2>&1 || fail "no ProgID key $prog_id_key"

"$(dirname "${BASH_SOURCE[0]}")/run_script_session.sh" "$wine_run" "$prefix" cscript "$script" \
  "$work" "${@:8}" || fail "the script session failed"

trap - EXIT
run regsvr32 /u /s "$(windows_path "$dll")" || fail "regsvr32 /u failed"
if run reg query "$class_key" >/dev/null 2>&1; then fail "$class_key is still registered"; fi
if run reg query "$prog_id_key" >/dev/null 2>&1; then fail "$prog_id_key is still registered"; fi

echo "registration and unregistration checked"
