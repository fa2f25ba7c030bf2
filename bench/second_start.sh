#!/usr/bin/env bash
# A second start of the window program: the first copy runs with its window
# closed to the background; each run starts `orlix` again and times, from the
# exec of the second copy to the first copy's window being mapped on the X
# display (bench/map_wait). Then closes the window again. Needs a build with
# -DORLIX_BUILD_BENCH=ON, xdotool and Xvfb (or a running X display).
#
#   bench/second_start.sh [RUNS]      (default 20; exit 1 when the median is over 30 ms)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-20}
. bench/bench_env.sh
bench_needs orlix orlixctl map_wait
bench_scratch second
unset QT_QPA_PLATFORM
bench_display 83
instance="second-start-$$"
"$bin/orlixctl" sim start >/dev/null
"$bin/orlix" --simulate --show --instance "$instance" >"$scratch/first.log" 2>&1 &
pid=$!
window() { xdotool search --onlyvisible --name "Ulmora Orlix Driver" 2>/dev/null | head -n1 || true; }
close() {  # the window's close button: it goes to the background
  local w
  for _ in $(seq 200); do w=$(window); [ -n "$w" ] && break; sleep 0.02; done
  [ -n "$w" ] || { echo "the window did not show" >&2; exit 1; }
  sleep 0.3
  xdotool mousemove --window "$w" 940 19 click 1
  for _ in $(seq 200); do [ -z "$(window)" ] && return; sleep 0.02; done
  echo "the window did not close" >&2; exit 1
}
times=()
for i in $(seq "$runs"); do
  close
  sleep 0.3
  times+=("$("$bin/map_wait" "$bin/orlix" --instance "$instance")")
done
printf '%s\n' "${times[@]}" | sort -n | awk -v runs="$runs" '{a[NR]=$1} END {
  m = a[int((NR+1)/2)]
  printf "second start to the first copy'"'"'s window mapped, %d runs: min %.1f ms, median %.1f ms, max %.1f ms\n", NR, a[1], m, a[NR]
  exit (m <= 30 ? 0 : 1) }'
