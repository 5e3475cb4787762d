#!/usr/bin/env bash
# Fuzzes the readers of outside input: scripts/fuzz.sh [TARGET] [SECONDS]
#
# Builds the libFuzzer targets with clang (build-fuzz), then runs TARGET (all when it is
# omitted or "all") for SECONDS each (default 25). Every run first replays the checked-in
# corpus, fuzz/corpus/<TARGET>/, which holds the reproducers of faults once found, so a
# regression fails at once. New inputs go to build-fuzz/corpus/<TARGET>/, anything found
# to build-fuzz/findings/<TARGET>/. An input that takes over 10 s, or memory beyond
# 1 GB in all or 512 MB at once, counts as a finding. Exit status 1 when a target found
# something; a table of executions, coverage and findings at the end.
set -euo pipefail
cd "$(dirname "$0")/.."
target=${1:-all}
seconds=${2:-25}

CC=clang CXX=clang++ scripts/build.sh build-fuzz -DKELVA_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo

if [[ $target == all ]]; then
  targets=$(cd fuzz/corpus && ls)
else
  targets=$target
fi

status=0
table="target executions seconds corpus coverage findings"
for name in $targets; do
  seeds=fuzz/corpus/$name
  work=build-fuzz/corpus/$name
  findings=build-fuzz/findings/$name
  log=build-fuzz/fuzz-$name.log
  [[ -d $seeds ]] || { echo "fuzz.sh: no corpus for target '$name' (fuzz/corpus/$name)" >&2; exit 2; }
  mkdir -p "$work" "$findings"
  echo "== $name: $seconds s"
  found=0
  build-fuzz/bin/fuzz_"$name" "$work" "$seeds" -max_total_time="$seconds" -timeout=10 \
    -rss_limit_mb=1024 -malloc_limit_mb=512 -print_final_stats=1 \
    -artifact_prefix="$findings/" >"$log" 2>&1 || found=1
  if ((found)); then
    status=1
    grep -E "ERROR|==[0-9]+==|property broken|Test unit written" "$log" | head -20 >&2
  fi
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  cov=$(grep -oE 'cov: [0-9]+' "$log" | tail -1 | cut -d' ' -f2)
  corpus=$(find "$work" "$seeds" -type f | wc -l)
  table+=$'\n'"$name ${execs:-?} $seconds $corpus ${cov:-?} $(find "$findings" -type f | wc -l)"
done
echo
column -t <<<"$table"
exit $status
