#!/usr/bin/env bash
# Start-up time and memory of the window program. Starts the virtual keyboard
# first (so its own start is not counted), then runs `orlix --show` RUNS times
# on its own scratch settings, each until its window is initialised; reports the
# time from the program's start to the end of the window's initialisation (the
# program measures it itself) and the resident memory once it is running.
#
#   bench/startup.sh [RUNS]        (QT_QPA_PLATFORM defaults to offscreen;
#                                   run under xvfb-run for a real X server)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-5}
. bench/bench_env.sh
bench_needs orlix orlixctl
bench_scratch bench
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
"$bin/orlixctl" sim start >/dev/null

times=() rss=() peak=()
for i in $(seq "$runs"); do
  log="$scratch/run-$i.log"
  ORLIX_STARTUP_REPORT=1 "$bin/orlix" --simulate --show >"$log" 2>&1 &
  pid=$!
  for _ in $(seq 100); do grep -q 'initialised in' "$log" && break; sleep 0.05; done
  sleep 1  # settle: the first show and the first paint
  us=$(sed -n 's/.*initialised in \([0-9]*\) us.*/\1/p' "$log")
  times+=("$us")
  rss+=("$(awk '/^VmRSS/ {print $2}' /proc/$pid/status)")
  peak+=("$(awk '/^VmHWM/ {print $2}' /proc/$pid/status)")
  kill "$pid"; wait "$pid" 2>/dev/null || true; pid=
done

stats() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1; s+=$1} END {printf "min %d  median %d  max %d  mean %d", a[1], a[int((NR+1)/2)], a[NR], s/NR}'; }
echo "orlix start-up, $runs runs, platform $QT_QPA_PLATFORM"
echo "  time to the initialised window (ms): $(stats $(for t in "${times[@]}"; do echo $((t / 1000)); done))"
echo "  resident memory when running (MiB):  $(stats $(for r in "${rss[@]}"; do echo $((r / 1024)); done))"
echo "  peak resident memory (MiB):          $(stats $(for r in "${peak[@]}"; do echo $((r / 1024)); done))"
