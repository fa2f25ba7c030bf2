#!/usr/bin/env bash
# Builds the programs and starts them with the virtual keyboard, so everything
# works without the hardware. Installs the Debian packages it needs first. Safe
# to repeat. Arguments are passed on to the program.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "${JOBS:-$(nproc)}"

bin=build/bin
if [ -x "$bin/orlix" ]; then
  exec "$bin/orlix" --simulate --show "$@"
fi
# Without the window program: start the virtual keyboard and show what orlixctl sees.
"$bin/orlixctl" sim start
"$bin/orlixctl" sim status
echo "firmware version: $("$bin/orlixctl" version)"
echo "Try: $bin/orlixctl --help   (stop the virtual keyboard with: $bin/orlixctl sim stop)"
