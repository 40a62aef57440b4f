#!/bin/bash
# Runs a script against a registered COM class with a script host under Wine and checks the
# result file the script wrote.
#
#   run_script_session.sh WINE_RUN PREFIX SCRIPT_HOST SCRIPT WORK_DIR
#                         [EXPECTED_CAPTURE DEVICE_ID [JOBS_DIR]]
#
# SCRIPT_HOST is the script host program: cscript, or the 32-bit one of a 64-bit prefix
# (C:\windows\syswow64\cscript.exe).
#
# With EXPECTED_CAPTURE, the script drives a printer: it also gets a fresh devices folder, the
# device ID and the path of a capture file in that device's folder, into which the printer port
# writes. After the script the capture file must hold exactly the bytes of EXPECTED_CAPTURE, a
# UTF-8 text file converted to windows-1251, the printer's code page.
#
# With JOBS_DIR, the script also prints every job NAME.job of that folder (settings, a template
# and label rows; UTF-8, handed to the script as UTF-16) into capture-NAME.prn of the device's
# folder, which must then hold exactly the bytes of NAME.prn beside the job: the bytes the Linux
# build sends for the same job (tests/linux/host_cli_test.cpp checks those).
#
# The script host exits with 0 and prints nothing when a script fails to compile or stops on a
# run-time error, so the verdict comes from the result file alone: every check of the script
# must have written a PASS line, none a FAIL line, and the script must have reached its end.
set -u

wine_run=$1
prefix=$2
script_host=$3
script=$4
work=$5
expected_capture=${6:-}
device_id=${7:-}
jobs_dir=${8:-}

# shellcheck source=../wine_shell.sh
source "$(dirname "${BASH_SOURCE[0]}")/../wine_shell.sh"

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
  if [[ -n $jobs_dir ]]; then
    rm -rf "$work/jobs"
    mkdir -p "$work/jobs" || fail "cannot create $work/jobs"
    for job in "$jobs_dir"/*.job; do
      { printf '\xff\xfe' && iconv -f UTF-8 -t UTF-16LE "$job"; } >"$work/jobs/$(basename "$job")" ||
        fail "cannot convert $job to UTF-16"
    done
    script_args+=("$(windows_path "$work/jobs")")
  fi
fi

"$wine_run" "$prefix" "$script_host" //nologo //B "$(windows_path "$script")" "${script_args[@]}"

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
  if [[ -n $jobs_dir ]]; then
    for job in "$jobs_dir"/*.job; do
      name=$(basename "$job" .job)
      job_capture=$devices/$device_id/capture-$name.prn
      [[ -f $job_capture ]] || fail "the job $name wrote no capture file"
      cmp "$jobs_dir/$name.prn" "$job_capture" ||
        fail "the printer received other bytes for the job $name than $jobs_dir/$name.prn"
      echo "the job $name sent the expected $(wc -c <"$job_capture") bytes"
    done
  fi
fi
echo "$passed script checks passed"
