#!/bin/bash
# Installs the build tree into a temporary prefix with `cmake --install`, as a user without root
# may, and checks the installation by using it (check_installation.sh).
#
#   install_into_prefix.sh CMAKE BUILD_DIR LIBDIR VERSION
set -u

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
cmake=$1
build=$2
libdir=$3
version=$4

prefix=$(mktemp -d) || exit 1
trap 'rm -rf "$prefix"' EXIT
"$cmake" --install "$build" --prefix "$prefix" >/dev/null || { echo "FAILED: cmake --install" >&2; exit 1; }
"$here/check_installation.sh" "$prefix" "$libdir" "$version" "$build/pirell"
