#!/bin/bash
# Checks an installation of the command-line host and the driver module under PREFIX, as
# `cmake --install` or the Debian package leaves it, by using it:
#
#   check_installation.sh PREFIX LIBDIR VERSION REFERENCE_PIRELL
#
# - PREFIX/bin/pirell shows VERSION and loads the module PREFIX/LIBDIR/libpirell.so.1 (soname
#   libpirell.so.1) without LD_LIBRARY_PATH;
# - the README's main job with the installed examples (upload the price tag, print the labels
#   into the capture file of a fresh device folder) sends the same bytes as REFERENCE_PIRELL, the
#   build tree's host, which therefore works too;
# - the manual page documents and the bash completion offers every command that `pirell --help`
#   lists and every setting of the driver.
set -u

prefix=$1
libdir=$2
version=$3
reference=$4

fail() {
  echo "FAILED: $*" >&2
  exit 1
}

pirell=$prefix/bin/pirell
module=$prefix/$libdir/libpirell.so.1
docs=$prefix/share/doc/pirell
man_page=$prefix/share/man/man1/pirell.1.gz
completion=$prefix/share/bash-completion/completions/pirell

work=$(mktemp -d) || fail "cannot create a temporary folder"
trap 'rm -rf "$work"' EXIT
# Nothing lands in the real home folder, and only the installation's own search path counts.
export HOME=$work/home
unset LD_LIBRARY_PATH XDG_DATA_HOME

for file in "$pirell" "$module" "$man_page" "$completion" "$docs/copyright" "$docs/changelog.gz" \
  "$docs/examples/price-tag.xml" "$docs/examples/labels.csv"; do
  [[ -e $file ]] || fail "$file is not installed"
done
soname=$(readelf -d "$module" | sed -n 's/.*(SONAME).*\[\(.*\)\]/\1/p')
[[ $soname == libpirell.so.1 ]] || fail "the module's soname is '$soname', not libpirell.so.1"

shown=$("$pirell" --version) || fail "pirell --version failed"
[[ $shown == "pirell $version" ]] || fail "pirell --version shows '$shown', not 'pirell $version'"
loaded=$(ldd "$pirell" | awk '$1 == "libpirell.so.1" { print $3 }')
[[ -n $loaded && $(realpath "$loaded") == $(realpath "$module") ]] ||
  fail "pirell loads '$loaded', not $module"
echo "$shown, module $module"

# The main job, by the installed host and by the build tree's.
for host in installed reference; do
  program=$pirell
  [[ $host == reference ]] && program=$reference
  "$program" --device-folder "$work/$host" upload 1 "$docs/examples/price-tag.xml" \
    --description "Ценник 58x40" >/dev/null || fail "the $host pirell could not upload the example"
  "$program" --device-folder "$work/$host" print 1 "$docs/examples/labels.csv" ||
    fail "the $host pirell could not print the example labels"
done
capture=$work/installed/capture.prn
labels=$(grep -ac '^P[0-9]' "$capture") || fail "no labels in $capture"
[[ $labels -eq 3 ]] || fail "$capture holds $labels labels, the example data has 3"
cmp "$capture" "$work/reference/capture.prn" ||
  fail "the installed pirell sent other bytes than the build tree's"
echo "the main job sent $(wc -c <"$capture") bytes, as the build tree's pirell does"

# Manual page and completion against the commands and the driver's settings.
warnings=$(man --warnings -E UTF-8 -l "$man_page" 2>&1 >/dev/null)
[[ -z $warnings ]] || fail "the manual page has warnings: $warnings"
manual=$(MANWIDTH=100 man -E UTF-8 -l "$man_page" 2>/dev/null | col -b)
commands=$("$pirell" --help | awk '/^Commands:/ { listed = 1; next } listed && /^  [a-z]/ { print $1 }')
settings=$("$pirell" --device-folder "$work/settings" settings |
  awk '$2 ~ /^(Number|String|Boolean)$/ { print $1 }')
[[ -n $commands && -n $settings ]] || fail "pirell lists no commands or no settings"
completions() {
  bash -c 'source "$1" && COMP_LINE=$2 && COMP_POINT=${#2} && _pirell 2>/dev/null &&
    printf "%s\n" "${COMPREPLY[@]}"' completion "$completion" "$1"
}
offered_commands=$(completions "pirell ")
offered_settings=$(completions "pirell --device-folder x settings ")
for command in $commands; do
  grep -qE "^ {7}$command( |$)" <<<"$manual" || fail "the manual page does not describe $command"
  grep -qx "$command" <<<"$offered_commands" || fail "the completion does not offer $command"
done
for setting in $settings; do
  grep -qw "$setting" <<<"$manual" || fail "the manual page does not name the setting $setting"
  grep -qx "$setting=" <<<"$offered_settings" || fail "the completion does not offer $setting"
done
echo "manual page and completion cover $(wc -w <<<"$commands") commands and" \
  "$(wc -w <<<"$settings") settings"
