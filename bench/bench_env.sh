# Shared set-up of the scripts in bench/ that run the built programs; sourced.
#   bench_needs PROGRAM...   the build must hold them (bench ones need -DORLIX_BUILD_BENCH=ON)
#   bench_scratch NAME       a scratch home of its own (runtime, state, settings, data);
#                            the cleanup on exit ends $pid, the virtual keyboard, an own Xvfb
#   bench_display NUMBER     Xvfb :NUMBER unless a display is set
# bin is the build's program folder (ORLIX_BIN, default build/bin), absolute.
bin=$(readlink -f "${ORLIX_BIN:-build/bin}")
pid= xvfb= scratch=

bench_needs() {
  local p
  for p in "$@"; do
    [ -x "$bin/$p" ] || { echo "build $p first: cmake -B build -DORLIX_BUILD_BENCH=ON && cmake --build build" >&2; exit 1; }
  done
}

bench_cleanup() {
  # Never changes the script's own exit status.
  if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; fi
  "$bin/orlixctl" sim stop >/dev/null 2>&1 || true
  if [ -n "$xvfb" ]; then kill "$xvfb" 2>/dev/null || true; fi
  rm -rf "$scratch"
}

bench_scratch() {
  scratch=$(mktemp -d "/tmp/orlix-$1-XXXXXX")
  export XDG_RUNTIME_DIR="$scratch/run" XDG_STATE_HOME="$scratch/state" \
         XDG_CONFIG_HOME="$scratch/config" XDG_DATA_HOME="$scratch/data"
  mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
  unset ORLIX_ROOT ORLIX_CONFIG_DIR ORLIX_VKBD_SOCKET
  trap bench_cleanup EXIT
}

bench_display() {
  [ -n "${DISPLAY:-}" ] && return
  Xvfb ":$1" -screen 0 1280x1024x24 >/dev/null 2>&1 & xvfb=$!
  export DISPLAY=":$1"
  sleep 0.5
}
