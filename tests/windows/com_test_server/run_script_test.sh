#!/bin/bash
# Registers a COM server DLL under Wine, runs a script against it with the script host,
# unregisters the DLL and checks the result file the script wrote and the registry.
#
#   run_script_test.sh WINE_RUN PREFIX DLL CLASS_ID PROG_ID SCRIPT WORK_DIR \
#                      [EXPECTED_CAPTURE DEVICE_ID]
#
# CLASS_ID (GUID text without braces) and PROG_ID are the class the DLL registers.
#
# With EXPECTED_CAPTURE, the script drives a printer: it also gets a fresh devices folder, the
# device ID and the path of a capture file in that device's folder, into which the printer port
# writes. After the script the capture file must hold exactly the bytes of EXPECTED_CAPTURE, a
# UTF-8 text file converted to windows-1251, the printer's code page.
#
# The script host exits with 0 and prints nothing when a script fails to compile or stops on a
# run-time error, so the verdict comes from the result file alone: every check of the script
# must have written a PASS line, none a FAIL line, and the script must have reached its end.
set -u

wine_run=$1
prefix=$2
dll=$3
class_key="HKCR\\CLSID\\{$4}"
prog_id_key="HKCR\\$5"
script=$6
work=$7
expected_capture=${8:-}
device_id=${9:-}

fail() {
  echo "FAILED: $*" >&2
  exit 1
}

# Under Wine the Unix file system is drive Z:.
windows_path() {
  local path
  path=$(realpath -m "$1")
  echo "Z:${path//\//\\}"
}

run() {
  "$wine_run" "$prefix" "$@"
}

mkdir -p "$work" || fail "cannot create $work"
results=$work/script_results.txt
texts=$work/texts.txt
rm -f "$results"

# Non-ASCII texts reach the script through a UTF-16 file: the script host reads no UTF-16
# script source. One text per line, in the order the script reads them.
{
  printf '\xff\xfe'
  printf 'Привет, мир\r\nТестовая ошибка\r\nУстройство не найдено\r\nПубличный сбой\r\n' |
    iconv -f UTF-8 -t UTF-16LE
  printf 'Молоко пастеризованное 3,2%%\r\nЦенник\r\n' | iconv -f UTF-8 -t UTF-16LE
  printf 'Шаблон с таким номером не был загружен в принтер\r\n' | iconv -f UTF-8 -t UTF-16LE
} >"$texts" || fail "cannot write $texts"

script_args=("$(windows_path "$results")" "$(windows_path "$texts")")
if [[ -n $expected_capture ]]; then
  [[ -n $device_id ]] || fail "a capture test needs a device ID"
  devices=$work/devices
  capture=$devices/$device_id/capture.prn
  rm -rf "$devices"
  mkdir -p "$devices/$device_id" || fail "cannot create the device folder"
  script_args+=("$(windows_path "$devices")" "$device_id" "$(windows_path "$capture")")
fi

run regsvr32 /s "$(windows_path "$dll")" || fail "regsvr32 could not register $dll"
trap 'run regsvr32 /u /s "$(windows_path "$dll")" >/dev/null 2>&1' EXIT

threading_model=$(run reg query "$class_key\\InprocServer32" /v ThreadingModel 2>/dev/null)
grep -q 'Apartment' <<<"$threading_model" || fail "no ThreadingModel Apartment under $class_key"
run reg query "$prog_id_key\\CLSID" >/dev/null 2>&1 || fail "no ProgID key $prog_id_key"

run cscript //nologo //B "$(windows_path "$script")" "${script_args[@]}"

[[ -f $results ]] || fail "the script wrote no result file (it did not start or failed early)"
tr -d '\r' <"$results" >"$results.unix"
cat "$results.unix"
expected=$(grep -cE '^[[:space:]]*Check "' "$script")
passed=$(grep -c '^PASS ' "$results.unix")
failed=$(grep -c '^FAIL ' "$results.unix")
grep -qx 'DONE' "$results.unix" || fail "the script stopped before its end (after $passed passes)"
[[ $failed -eq 0 ]] || fail "$failed checks failed"
[[ $passed -eq $expected ]] || fail "$passed checks passed, the script has $expected"

if [[ -n $expected_capture ]]; then
  [[ -f $capture ]] || fail "the printer port wrote no capture file $capture"
  [[ -f $devices/$device_id/templates ]] || fail "the upload wrote no template file in the device folder"
  iconv -f UTF-8 -t CP1251 "$expected_capture" >"$work/expected_capture.prn" ||
    fail "cannot convert $expected_capture to windows-1251"
  if ! cmp "$work/expected_capture.prn" "$capture"; then
    echo "expected:" >&2
    od -c "$work/expected_capture.prn" >&2
    echo "captured:" >&2
    od -c "$capture" >&2
    fail "the printer received other bytes than $expected_capture"
  fi
  echo "the capture file holds the expected $(wc -c <"$capture") bytes"
fi

trap - EXIT
run regsvr32 /u /s "$(windows_path "$dll")" || fail "regsvr32 /u failed"
if run reg query "$class_key" >/dev/null 2>&1; then fail "$class_key is still registered"; fi
if run reg query "$prog_id_key" >/dev/null 2>&1; then fail "$prog_id_key is still registered"; fi

echo "$passed script checks passed; registration and unregistration checked"
