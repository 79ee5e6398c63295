#!/bin/sh
# The project's commands: `./build.sh test` installs what is missing, builds
# with the sanitizers and runs every test.
set -eu
cd "$(dirname "$0")"

jobs=$(nproc 2>/dev/null || echo 2)

case "${1:-}" in
  test)
    scripts/setup.sh
    cmake -S . -B build/sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKILN_SANITIZE=ON
    cmake --build build/sanitize -j "$jobs"
    ctest --test-dir build/sanitize --output-on-failure -j "$jobs"
    ;;
  *)
    echo "usage: $0 test" >&2
    exit 2
    ;;
esac
