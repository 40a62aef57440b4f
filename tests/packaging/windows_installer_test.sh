#!/bin/bash
# Installs the Windows installer for real in a fresh Wine prefix, uses the driver as 32-bit and
# (on 64-bit Windows) 64-bit hosts do, uninstalls it and checks that nothing is left.
#
#   windows_installer_test.sh win64 SETUP.exe DLL32 DLL64 WORK_DIR
#   windows_installer_test.sh win32 SETUP.exe DLL32 WORK_DIR
#
# DLL32 and DLL64 are the DLLs the installer was made from. In the prefix: `SETUP.exe /S`, run
# twice as an update over the same version would, puts each DLL into its folder and registers it in the registry view of its bitness; the
# Add/Remove Programs entry carries the version and publisher of the DLL's version resource;
# a 32-bit and a 64-bit script host each create KestroEq.Pirell and print a label into a file
# (the driver session of the Windows tests); `uninstall.exe /S` unregisters both, after which
# creating the driver fails, and removes every file and the entry.
set -u

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd)
arch=$1
setup=$2
dll32=$3
if [[ $arch == win64 ]]; then
  dll64=$4
  work=$5
  wine_run=$root/cmake/wine-run64
else
  dll64=
  work=$4
  wine_run=$root/cmake/wine-run
fi

# shellcheck source=../windows/wine_shell.sh
source "$root/tests/windows/wine_shell.sh"

# Waits until every program of the prefix has ended (the uninstaller goes on in a copy of itself
# after the one started has returned), for two minutes at most.
wait_for_prefix() {
  local status=0
  WINEPREFIX=$prefix timeout 120 wineserver -w || status=$?
  [[ $status -ne 124 ]] || fail "programs of the prefix still run after 120 s"
  [[ $status -eq 0 ]] || fail "wineserver -w failed with status $status"
}

# A registry value (NAME empty: the key's default value), or nothing. VIEW is 32 or 64 in a
# 64-bit prefix.
registry_value() {
  local key=$1 name=$2 view=${3:-}
  local options=(/v "$name") shown=$name
  [[ -z $name ]] && options=(/ve) && shown='(Default)'
  [[ -n $view ]] && options+=("/reg:$view")
  run reg query "$key" "${options[@]}" 2>/dev/null | tr -d '\r' |
    awk -v name="$shown" '$1 == name && $2 ~ /^REG_/ { sub(/^ *[^ ]+ +REG_[A-Z_]+ +/, ""); print }'
}

# The script host of a bitness: in a 64-bit prefix the 32-bit one lives in syswow64.
script_host() {
  if [[ $arch == win64 && $1 == 32 ]]; then
    echo 'C:\windows\syswow64\cscript.exe'
  else
    echo cscript
  fi
}

# Creates the driver with the script host of a bitness; prints the probe's result lines.
probe() {
  local bits=$1 dll=${2:-}
  local results=$work/probe$bits.txt
  local args=("$(windows_path "$results")")
  [[ -n $dll ]] && args+=("$dll")
  rm -f "$results"
  run "$(script_host "$bits")" //nologo //B "$(windows_path "$here/probe_driver.vbs")" "${args[@]}"
  [[ -f $results ]] || fail "the $bits-bit probe wrote no result"
  tr -d '\r' <"$results"
}

work=$(realpath -m "$work")
prefix=$work/prefix
rm -rf "$work"
mkdir -p "$work" || fail "cannot create $work"
trap 'WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1' EXIT
run --init || fail "cannot create the Wine prefix $prefix"

bitnesses=(32)
[[ $arch == win64 ]] && bitnesses+=(64)
folder=$prefix/drive_c/Program\ Files/Pirell
windows_folder='C:\Program Files\Pirell'
class_key='HKCR\CLSID\{51B0BFAF-D018-484B-91D5-6ED841398ECC}'
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Pirell'

# The second run installs over the first, as an update does.
for attempt in first second; do
  run "$(windows_path "$setup")" /S || fail "the $attempt installation failed (exit status $?)"
  wait_for_prefix
done

# Files: each DLL in the folder of its bitness, nothing for 64-bit hosts on 32-bit Windows.
cmp "$dll32" "$folder/x86/pirell.dll" || fail "x86/pirell.dll is not the 32-bit DLL"
if [[ $arch == win64 ]]; then
  cmp "$dll64" "$folder/x64/pirell.dll" || fail "x64/pirell.dll is not the 64-bit DLL"
else
  [[ ! -e $folder/x64 ]] || fail "the installer put a 64-bit DLL on 32-bit Windows"
fi
[[ -f $folder/uninstall.exe ]] || fail "no uninstaller in $folder"

# Registration: the class of each view names the DLL of its bitness.
for bits in "${bitnesses[@]}"; do
  view=
  [[ $arch == win64 ]] && view=$bits
  expected="$windows_folder\\x86\\pirell.dll"
  [[ $bits == 64 ]] && expected="$windows_folder\\x64\\pirell.dll"
  server=$(registry_value "$class_key\\InprocServer32" "" "$view")
  [[ ${server,,} == "${expected,,}" ]] ||
    fail "the $bits-bit class names '$server', not '$expected'"
done

# Add/Remove Programs: version and publisher as the DLL's version resource has them.
version_line=$(probe 32 "$windows_folder\\x86\\pirell.dll" | sed -n 's/^version //p')
publisher=$(strings -el "$dll32" | grep -A1 -x CompanyName | tail -n 1)
[[ -n $version_line && -n $publisher ]] || fail "cannot read the DLL's version and publisher"
[[ $(registry_value "$uninstall_key" DisplayVersion) == "$version_line" ]] ||
  fail "DisplayVersion is '$(registry_value "$uninstall_key" DisplayVersion)', the DLL has $version_line"
[[ $(registry_value "$uninstall_key" Publisher) == "$publisher" ]] ||
  fail "Publisher is '$(registry_value "$uninstall_key" Publisher)', the DLL has '$publisher'"
[[ $(registry_value "$uninstall_key" UninstallString) == "\"$windows_folder\\uninstall.exe\"" ]] ||
  fail "UninstallString is '$(registry_value "$uninstall_key" UninstallString)'"
echo "installed: version $version_line, publisher $publisher"

# Hosts of each bitness print through the installed driver.
for bits in "${bitnesses[@]}"; do
  "$root/tests/windows/com_test_server/run_script_session.sh" "$wine_run" "$prefix" \
    "$(script_host "$bits")" "$root/tests/windows/com_test_server/driver_script_test.vbs" \
    "$work/session$bits" "$root/tests/windows/com_test_server/driver_script_expected.prn.txt" \
    LabelPrinter1 >"$work/session$bits.log" 2>&1 ||
    { cat "$work/session$bits.log" >&2; fail "the $bits-bit host's session failed"; }
  echo "$bits-bit host: $(tail -n 1 "$work/session$bits.log")"
done

run "$windows_folder\\uninstall.exe" /S || fail "the uninstaller failed (exit status $?)"
wait_for_prefix

for bits in "${bitnesses[@]}"; do
  outcome=$(probe "$bits")
  [[ $outcome == "not created "* ]] || fail "the $bits-bit host still creates the driver: $outcome"
  view=
  [[ $arch == win64 ]] && view=$bits
  if run reg query "$class_key" ${view:+/reg:$view} >/dev/null 2>&1; then
    fail "the $bits-bit class is still registered"
  fi
  if run reg query 'HKCR\KestroEq.Pirell' ${view:+/reg:$view} >/dev/null 2>&1; then
    fail "the $bits-bit ProgID is still registered"
  fi
done
[[ ! -e $folder ]] || fail "files are left: $(find "$folder" | tr '\n' ' ')"
if run reg query "$uninstall_key" >/dev/null 2>&1; then fail "the Add/Remove Programs entry is left"; fi
echo "uninstalled: the driver is no longer created, no file and no registry key is left"
