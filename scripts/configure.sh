#!/usr/bin/env bash
# configure.sh BUILD_DIR [CMAKE OPTIONS...]: configures a build folder the way every script of
# the project does (Ninja, the compiler cache when installed). CMake's own messages are kept in
# BUILD_DIR/configure.log and shown when the configure fails.
set -euo pipefail
dir=$1
shift
mkdir -p "$dir"
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
if ! cmake -S . -B "$dir" -G Ninja "${launcher[@]}" "$@" >"$dir/configure.log" 2>&1; then
  cat "$dir/configure.log" >&2
  echo "configure of $dir failed" >&2
  exit 1
fi
grep -A4 "CMake Warning" "$dir/configure.log" >&2 || true
