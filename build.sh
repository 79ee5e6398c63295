#!/bin/sh
# The project's commands: `./build.sh test` installs what is missing, builds
# with AddressSanitizer and UndefinedBehaviorSanitizer and runs every test,
# then builds the test programs that run threads with ThreadSanitizer and runs
# them again. `./build.sh play` installs what is missing, builds the game
# without sanitizers, writes the placeholder resource tree and starts the game
# in a window (an optimised build with debug information).
set -eu
cd "$(dirname "$0")"

jobs=$(nproc 2>/dev/null || echo 2)

case "${1:-}" in
  test)
    scripts/setup.sh
    cmake -S . -B build/sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKILN_SANITIZE=ON
    cmake --build build/sanitize -j "$jobs"
    ctest --test-dir build/sanitize --output-on-failure -j "$jobs"
    cmake -S . -B build/tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKILN_SANITIZE=thread
    cmake --build build/tsan -j "$jobs" --target thread_test_programs
    TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
      ctest --test-dir build/tsan --output-on-failure -j "$jobs" -L threads
    ;;
  play)
    scripts/setup.sh
    cmake -S . -B build/play -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKILN_BUILD_TESTS=OFF
    cmake --build build/play -j "$jobs" --target brackenfold brackenfold_resource_tree
    # The game opens every file relative to its working directory, as it
    # did beside its own resource folder: it runs in the folder that holds
    # the generated tree.
    cd build/play/placeholder
    exec ../game/brackenfold
    ;;
  *)
    echo "usage: $0 test | play" >&2
    exit 2
    ;;
esac
