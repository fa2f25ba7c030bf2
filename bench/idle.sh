#!/usr/bin/env bash
# Idle stays idle: runs `orlix --simulate --show` under Xvfb (or the current
# display), lets it settle, then counts over SECONDS seconds the CPU ticks it
# used and the times its threads woke up (context switches of every thread).
# Once with the window shown, once with it closed to the background.
#
#   bench/idle.sh [SECONDS]      (default 30; exit 1 when a tick was used)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
. bench/bench_env.sh
bench_needs orlix orlixctl
bench_scratch idle
unset QT_QPA_PLATFORM
bench_display 84
"$bin/orlixctl" sim start >/dev/null
"$bin/orlix" --simulate --show --instance "idle-$$" >"$scratch/orlix.log" 2>&1 &
pid=$!
ticks() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
# Per thread "tid switches"; threads that end or start between two readings count what they did.
switches() { for t in /proc/"$pid"/task/*; do echo "${t##*/} $(awk '/^(non)?voluntary_ctxt_switches/ {s += $2} END {print s}' "$t/status" 2>/dev/null)"; done; }
woke() { awk 'NR == FNR {a[$1] = $2; next} {d += $2 - a[$1]} END {print d + 0}' "$1" "$2"; }
measure() {  # what
  sleep 3
  local t0 t1
  t0=$(ticks); switches >"$scratch/w0"
  sleep "$seconds"
  t1=$(ticks); switches >"$scratch/w1"
  echo "$1: $((t1 - t0)) CPU ticks, $(woke "$scratch/w0" "$scratch/w1") thread wake-ups in $seconds s"
  used=$((used + t1 - t0))
}
used=0
measure "window shown"
w=$(xdotool search --onlyvisible --name "Ulmora Orlix Driver" 2>/dev/null | head -n1 || true)
[ -n "$w" ] && xdotool mousemove --window "$w" 940 19 click 1
measure "in the background"
[ "$used" -eq 0 ]
