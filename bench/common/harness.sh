# Shared by the benchmark runners; source it. scripts/bench.sh sets the
# variables below for a whole run; a runner started alone takes the defaults
# and prints a table of its own rows at the end (print_table).
#   LARK_BENCH_RESULTS      file the rows are added to
#   LARK_BENCH_ROUNDS       alternated runs of each contender (5)
#   LARK_BENCH_CORE         the one core every contender is pinned to (the last)
#   LARK_BENCH_SERVER_CORE  the core of the servers the clients talk to (the one before)
#   LARK_BENCH_QUICK        1 for a quick check: smaller transfers, shorter runs

harness_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
cores=$(nproc)
export LARK_BENCH_ROUNDS=${LARK_BENCH_ROUNDS:-5}
export LARK_BENCH_CORE=${LARK_BENCH_CORE:-$((cores - 1))}
export LARK_BENCH_SERVER_CORE=${LARK_BENCH_SERVER_CORE:-$((cores > 1 ? cores - 2 : 0))}
export LARK_BENCH_QUICK=${LARK_BENCH_QUICK:-0}
own_table=false
if [[ -z ${LARK_BENCH_RESULTS:-} ]]; then
  LARK_BENCH_RESULTS=$(mktemp "${TMPDIR:-/tmp}/lark-bench-rows-XXXXXX")
  own_table=true
fi
export LARK_BENCH_RESULTS

# compare --work TEXT --figure KIND --ours NAME COMMAND [--peer NAME COMMAND]
compare() {
  python3 "$harness_dir/alternate.py" run --results "$LARK_BENCH_RESULTS" --rounds "$LARK_BENCH_ROUNDS" \
    --core "$LARK_BENCH_CORE" "$@"
}

# Bytes of one large transfer, and the same in words.
transfer_bytes() { if [[ $LARK_BENCH_QUICK == 1 ]]; then echo $((64 << 20)); else echo $((1 << 30)); fi; }
transfer_words() { if [[ $LARK_BENCH_QUICK == 1 ]]; then echo "64 MiB"; else echo "1 GiB"; fi; }

# Minimum seconds each Google Benchmark process runs its one benchmark.
gbench_min_time() { if [[ $LARK_BENCH_QUICK == 1 ]]; then echo 0.05; else echo 1; fi; }

print_table() {
  if $own_table; then
    python3 "$harness_dir/alternate.py" table "$LARK_BENCH_RESULTS"
    rm -f "$LARK_BENCH_RESULTS"
  fi
}

# Waits until URL answers (curl, up to 5 s).
wait_for() {
  for _ in $(seq 100); do curl -s -o /dev/null "$@" && return 0; sleep 0.05; done
  echo "no answer from $*" >&2
  return 1
}

# The command that runs one Google Benchmark of PROGRAM, for compare.
gbench() { echo "$1 --benchmark_filter=^$2\$ --benchmark_min_time=$(gbench_min_time)"; }
