#!/usr/bin/env bash
# Builds the fuzz targets with clang in build-fuzz/ (configured once) and runs
# each one for SECONDS, then prints every target's run count and runs per
# second. Seed inputs come from fuzz/corpus/<name>/ (read only); what a run
# finds is kept in build-fuzz/corpus/<name>/ for the next run, and a crash
# input lands in build-fuzz/crashes/.
#
# Usage: fuzz/run.sh SECONDS [target...]   (default: every target)
set -euo pipefail

seconds=${1:?usage: fuzz/run.sh SECONDS [target...]}
shift
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build-fuzz

# target, corpus folder, longest input (0: libFuzzer's own choice)
targets=(
  "fuzz_profile_reader profile_reader 0"
  "fuzz_macro_library macro_library 12312"
  "fuzz_transfer_block transfer_block 0"
  "fuzz_encode_macro encode_macro 0"
  "fuzz_xml_document xml_document 0"
  "fuzz_ini_file ini_file 0"
  "fuzz_vkbd_frames vkbd_frames 0"
)
if [ $# -gt 0 ]; then
  chosen=()
  for want in "$@"; do
    found=
    for t in "${targets[@]}"; do [ "${t%% *}" = "$want" ] && chosen+=("$t") && found=1; done
    [ -n "$found" ] || { echo "unknown target: $want" >&2; exit 2; }
  done
  targets=("${chosen[@]}")
fi

export CCACHE_BASEDIR=$root CCACHE_NOHASHDIR=true
names=()
for t in "${targets[@]}"; do names+=("${t%% *}"); done
(
  # One build at a time on this machine.
  flock 9
  if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
      -DORLIX_BUILD_FUZZ=ON -DORLIX_BUILD_GUI=OFF -DORLIX_BUILD_TESTS=OFF >/dev/null
  fi
  cmake --build "$build" -j2 --target "${names[@]}"
) 9>/tmp/obuild.lock

mkdir -p "$build/crashes"
status=0
results=()
for t in "${targets[@]}"; do
  read -r name corpus maxlen <<<"$t"
  work=$build/corpus/$corpus
  mkdir -p "$work"
  seeds=()
  [ -d "$root/fuzz/corpus/$corpus" ] && seeds=("$root/fuzz/corpus/$corpus")
  args=(-max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$build/crashes/$name-")
  [ "$maxlen" != 0 ] && args+=(-max_len="$maxlen")
  log=$build/$name.log
  echo "== $name ($seconds s)"
  if ! "$build/bin/$name" "${args[@]}" "$work" "${seeds[@]}" >"$log" 2>&1; then
    echo "   FAILED: see $log and $build/crashes/" >&2
    grep -m3 -E "ERROR|SUMMARY" "$log" >&2 || true
    status=1
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
  results+=("$(printf '%-22s %10s runs %8s runs/s' "$name" "${runs:-?}" "${rate:-?}")")
done
echo
printf '%s\n' "${results[@]}"
exit $status
