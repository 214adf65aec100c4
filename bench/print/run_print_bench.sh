#!/usr/bin/env bash
# The viewer printing a generated 1990s page to the PDF printer beside
# headless Chromium printing the same file to PDF (A4, 2 cm margins): time
# per page printed, start-up, load and layout included, for the page of
# about 1,000 preview pages (4N) and its first quarter's size (N); the
# median and the slowest page of the viewer's own page loop; Print(1, 100)
# beside Print(1, 1000) of the 4N page for the peak memory; the preview's
# memory per page.
# Usage: bench/print/run_print_bench.sh [BUILD_DIR]   (default build-bench/)
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build-bench}
program=$build/bin/bench_print
[[ -x $program ]] || { echo "build $program first (scripts/build.sh --bench)"; exit 1; }
source bench/common/harness.sh

work=$(mktemp -d "${TMPDIR:-/tmp}/lark-print-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT
# 2,280,000 bytes make 999 preview pages (1,000 +/- 50 asked); quick runs print N only.
python3 bench/inputs/gen_html.py "$work/4n.html" 2280000 > /dev/null
python3 bench/inputs/gen_html.py "$work/n.html" 570000 > /dev/null
export QT_QPA_PLATFORM=offscreen

sizes="n"
[[ $LARK_BENCH_QUICK == 1 ]] || sizes="n 4n"
for size in $sizes; do
  words=$([[ $size == n ]] && echo "570 KB page (N)" || echo "2.28 MB page (4N, 999 preview pages)")
  compare --work "print to PDF, A4 2 cm, $words: seconds per page, start-up to file" --figure seconds \
    --ours "THTMLViewer.Print" "$program print $work/$size.html 1 100000 $work/ours.pdf" \
    --peer "chromium --print-to-pdf" "bench/print/chromium_print.sh $work/$size.html $work/chromium.pdf"
  compare --work "print to PDF, $words: median page of the page loop" --figure median-lines \
    --ours "THTMLViewer.Print" "$program print $work/$size.html 1 100000 $work/ours.pdf"
done
compare --work "Print(1, 100) of the 4N page: seconds per page (its peak beside Print(1, 1000)'s)" \
  --figure seconds --ours "THTMLViewer.Print" "$program print $work/4n.html 1 100 $work/ours.pdf"
compare --work "Print(1, 1000) of the 4N page: seconds per page" \
  --figure seconds --ours "THTMLViewer.Print" "$program print $work/4n.html 1 1000 $work/ours.pdf"
compare --work "PrintPreview of the 4N page: bytes held per page" \
  --figure seconds --ours "TMetaFilePrinter" "$program preview $work/4n.html"
print_table
