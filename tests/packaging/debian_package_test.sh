#!/bin/bash
# Installs the Debian package on this machine for real, uses what it installed and purges it
# again; then nothing it installed may be left.
#
#   debian_package_test.sh PACKAGE.deb REFERENCE_PIRELL
#
# REFERENCE_PIRELL is the build tree's host: the installed one must send the same bytes for the
# README's main job (check_installation.sh). Installing changes the machine, so the test runs
# only as root (CI, developers' containers) and when no pirell is installed already; otherwise it
# is skipped (exit status 77) and says why.
set -u

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
package=$1
reference=$2

fail() {
  echo "FAILED: $*" >&2
  exit 1
}
skip() {
  echo "SKIPPED: $*"
  exit 77
}

[[ $(id -u) -eq 0 ]] ||
  skip "installing the package changes this machine; the test runs only as root (as on CI)"
status=$(dpkg-query -W -f='${db:Status-Abbrev}' pirell 2>/dev/null)
[[ -z $status || $status == un* ]] ||
  skip "a pirell package is installed on this machine already; the test would remove it"
[[ ! -e /usr/bin/pirell ]] || skip "/usr/bin/pirell exists already; the test would replace it"
[[ -f $package ]] || fail "no package $package"

version=$(dpkg-deb -f "$package" Version) || fail "cannot read $package"
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH 2>/dev/null) || fail "dpkg-architecture failed"

trap 'dpkg --purge pirell >/dev/null 2>&1' EXIT
dpkg -i "$package" || fail "dpkg -i $package failed"
[[ $(dpkg-query -W -f='${Status}' pirell) == "install ok installed" ]] ||
  fail "the package is not installed after dpkg -i"
mapfile -t installed < <(dpkg -L pirell)
ldconfig -p | grep -q 'libpirell\.so\.1 ' || fail "the library cache does not know libpirell.so.1"

"$here/check_installation.sh" /usr "lib/$multiarch" "$version" "$reference" ||
  fail "the installed files do not work"
[[ $(man -w pirell) == /usr/share/man/man1/pirell.1.gz ]] ||
  fail "man -w pirell finds '$(man -w pirell 2>&1)'"
echo "installed $version: ${#installed[@]} paths; man -w pirell: $(man -w pirell)"

dpkg --purge pirell || fail "dpkg --purge pirell failed"
trap - EXIT
status=$(dpkg-query -W -f='${db:Status-Abbrev}' pirell 2>/dev/null)
[[ -z $status || $status == un* ]] || fail "pirell is still known to dpkg as '$status'"
# A folder may stay when other packages' files are in it.
left=()
for path in "${installed[@]}"; do
  [[ -e $path || -L $path ]] || continue
  if [[ -d $path && ! -L $path ]]; then
    dpkg-query -S "$path" >/dev/null 2>&1 && continue
    [[ -n $(ls -A "$path") ]] && continue
  fi
  left+=("$path")
done
[[ ${#left[@]} -eq 0 ]] || fail "left after the purge: ${left[*]}"
if ldconfig -p | grep -q 'libpirell\.so'; then fail "the library cache still has libpirell"; fi
echo "purged: nothing the package installed is left"
