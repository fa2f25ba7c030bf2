#!/usr/bin/env bash
# Builds everything and runs every test: the whole suite in build/, then the core
# and platform tests again under AddressSanitizer + UndefinedBehaviorSanitizer in
# build-asan/. Installs the Debian packages it needs first. Safe to repeat.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup-deps.sh

jobs=${JOBS:-$(nproc)}
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
# Tests never touch the user's own settings, sockets or keyboard state.
scratch=$(mktemp -d /tmp/orlix-test-home-XXXXXX)
trap 'rm -rf "$scratch"' EXIT
export XDG_RUNTIME_DIR="$scratch/run" XDG_STATE_HOME="$scratch/state" \
       XDG_CONFIG_HOME="$scratch/config" XDG_DATA_HOME="$scratch/data"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
unset ORLIX_ROOT ORLIX_CONFIG_DIR ORLIX_VKBD_SOCKET ORLIX_OPENER

echo "== build"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$jobs"

echo "== sanitizer build (core and platform)"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DORLIX_SANITIZE=ON -DORLIX_BUILD_GUI=OFF >/dev/null
cmake --build build-asan -j "$jobs" --target core_tests platform_tests

echo "== sanitizer tests"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-asan --output-on-failure --no-tests=error -j "$jobs" -L 'core_tests|platform_tests'

echo "== Debian package"
# Packs the build above (CPack DEB) and lints it; the package tests read it.
rm -f build/package/orlix_*.deb
cpack --config build/CPackConfig.cmake -B build/package >/dev/null
ORLIX_PACKAGE=$(ls build/package/orlix_*.deb)
export ORLIX_PACKAGE=$PWD/$ORLIX_PACKAGE
lintian --allow-root --fail-on error "$ORLIX_PACKAGE"
echo "lintian: no errors in $(basename "$ORLIX_PACKAGE")"

echo "== tests"
ctest --test-dir build --output-on-failure --no-tests=error -j "$jobs"
