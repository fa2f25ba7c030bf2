#!/usr/bin/env bash
# One check of the virtual machine run as a test of its own:
#   check.sh RESULTS NAME
# RESULTS is run_vm.sh's results.txt: "NAME ok|fail|skip DETAIL" a line, or a
# first line "SKIP REASON" / "FAIL REASON" when the machine did not run.
# Exit 0 ok, 1 failed or not reported, 77 skipped.
results=$1 name=$2
if [[ ! -f $results ]]; then
  echo "FAIL: no results: the machine did not run (see the test vm.boot)"
  exit 1
fi
first=$(head -1 "$results")
case $first in
  "SKIP "*) echo "SKIP: ${first#SKIP }"; exit 77 ;;
  "FAIL "*) echo "FAIL: the machine did not run: ${first#FAIL }"; exit 1 ;;
esac
line=$(grep -m1 "^$name " "$results")
case $line in
  "$name ok"*) echo "$line"; exit 0 ;;
  "$name skip"*) echo "SKIP: ${line#"$name skip "}"; exit 77 ;;
  "$name fail"*) echo "FAIL: $line"; exit 1 ;;
  *) echo "FAIL: the machine did not report $name (an earlier step failed or it stopped; see vm.boot)"; exit 1 ;;
esac
