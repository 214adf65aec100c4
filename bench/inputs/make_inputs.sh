#!/usr/bin/env bash
# Generates the benchmark inputs into $LARK_BENCH_DIR (default
# ${TMPDIR:-/tmp}/lark-bench), outside the source and build trees, once: a set
# is made again only when its generator changed or an earlier run did not
# finish. Stops with an error naming the generator when one fails or makes
# fewer files than it should.
#   bench/inputs/make_inputs.sh [page|smallpage|png|gif|tree]...   (default: all five)
# Prints the folder of each set, one a line.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=${LARK_BENCH_DIR:-${TMPDIR:-/tmp}/lark-bench}
export MAGICK_THREAD_LIMIT=1

fail() { echo "make_inputs.sh: $*" >&2; exit 1; }

# count FOLDER PATTERN: files matching the pattern under the folder.
count() { find "$1" -type f -name "$2" 2>/dev/null | wc -l; }

# make SET GENERATOR EXPECTED PATTERN COMMAND...: runs the generator into
# $root/SET unless its stamp says the set is complete, then checks the count.
make_set() {
  local set=$1 generator=$2 expected=$3 pattern=$4
  shift 4
  local dir=$root/$set stamp=$root/$set/.made-by
  local sum
  sum=$(sha256sum "$here/$generator" | cut -d' ' -f1)
  if [[ ! -f $stamp || $(cat "$stamp") != "$sum" ]]; then
    rm -rf "$dir"
    mkdir -p "$dir"
    echo "Generating the $set inputs with bench/inputs/$generator into $dir" >&2
    "$@" > "$dir/generator.log" 2>&1 ||
      fail "generator $generator failed (exit $?); its output is in $dir/generator.log"
    local made
    made=$(count "$dir" "$pattern")
    [[ $made -eq $expected ]] ||
      fail "generator $generator made $made of $expected files ($pattern); its output is in $dir/generator.log"
    echo "$sum" > "$stamp"
  fi
  echo "$dir"
}

sets=("$@")
[[ ${#sets[@]} -gt 0 ]] || sets=(page smallpage png gif tree)
for set in "${sets[@]}"; do
  case $set in
    page) make_set page gen_html.py 1 'bench-page.html' /usr/bin/python3 "$here/gen_html.py" "$root/page/bench-page.html" ;;
    smallpage) make_set smallpage gen_html.py 1 'bench-page-100k.html' /usr/bin/python3 "$here/gen_html.py" "$root/smallpage/bench-page-100k.html" 102400 ;;
    png) make_set png make_corpus.sh 20 '*.png' bash "$here/make_corpus.sh" "$root/png" ;;
    gif) make_set gif make_gifs.sh 4 '*.gif' bash "$here/make_gifs.sh" "$root/gif" ;;
    # The tree goes into tree/ and its list of planted files beside it.
    tree) make_set search gen_tree.py 20000 'f*' /usr/bin/python3 "$here/gen_tree.py" "$root/search/tree" ;;
    *) fail "no input set named $set (page, smallpage, png, gif, tree)" ;;
  esac
done
