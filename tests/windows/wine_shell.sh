# Shell helpers of the test scripts that drive programs under Wine; sourced, not run. `run`
# needs $wine_run (cmake/wine-run or wine-run64) and $prefix set by the sourcing script.

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
