#!/usr/bin/env bash
# Host-function latency of the window program: key 9 gets the host function
# "open" of a file, `orlix --simulate` runs (hidden) with the opener
# bench/opener_stamp, and host_latency_bench reports PRESSES presses of the key
# through the virtual keyboard, timing each from the report to the opener's
# start. Needs a build with -DORLIX_BUILD_BENCH=ON.
#
#   bench/host_latency.sh [PRESSES]      (default 1000; exit 1 when p99 > 5 ms)
set -euo pipefail
cd "$(dirname "$0")/.."
presses=${1:-1000}
. bench/bench_env.sh
bench_needs orlix orlixctl host_latency_bench opener_stamp
bench_scratch latency
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}

# A program folder of its own: the build's skins and languages, its own
# profiles and macro library (a writable program folder holds the data).
root="$scratch/root"
mkdir -p "$root/Profile"
for f in "$bin"/*; do
  case "$(basename "$f")" in Profile|Macro.cfg) ;; *) ln -s "$f" "$root/";; esac
done
cp "$bin/Macro.cfg" "$root/" 2>/dev/null || true
ctl() { "$bin/orlixctl" --root "$root" "$@"; }

fifo="$scratch/stamps"
mkfifo "$fifo"
ctl sim start >/dev/null
ctl --simulate key set '#9' "host:open:$scratch/target.txt" >/dev/null
ORLIX_OPENER="$bin/opener_stamp" ORLIX_BENCH_FIFO="$fifo" \
  "$bin/orlix" --simulate --root "$root" --instance "latency-$$" >"$scratch/orlix.log" 2>&1 &
pid=$!
# Ready once the program is a client of the keyboard (the status query is the other).
for _ in $(seq 100); do
  [ "$(ctl sim status 2>/dev/null | sed -n 's/^clients //p')" -ge 2 ] 2>/dev/null && break
  sleep 0.05
done
sleep 0.5
socket=$(ctl paths | sed -n 's/^socket *//p')
"$bin/host_latency_bench" "$socket" "$fifo" "$presses"
