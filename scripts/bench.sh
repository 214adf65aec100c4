#!/usr/bin/env bash
# Installs what the benchmarks need (their peers included), builds them
# optimised, makes their inputs, runs every benchmark beside its peers and
# prints one table of the results.
#   scripts/bench.sh          the full run: 5 alternated runs of each contender
#   scripts/bench.sh --quick  a check that everything runs: 2 runs each, 64 MiB
#                             transfers, shorter benchmark runs
# The build is build-bench/, RelWithDebInfo (GCC -O2 -g), as Debian builds the
# peers. Every contender runs pinned to one core (LARK_BENCH_CORE, the last),
# the servers it talks to on another (LARK_BENCH_SERVER_CORE); the inputs go to
# $LARK_BENCH_DIR (default ${TMPDIR:-/tmp}/lark-bench), about 300 MB.
set -euo pipefail
cd "$(dirname "$0")/.."

quick=0
case ${1:-} in
  --quick) quick=1 ;;
  "") ;;
  *) echo "usage: scripts/bench.sh [--quick]" >&2; exit 2 ;;
esac

scripts/install-deps.sh build bench
build=$(scripts/build.sh --bench | tail -n 1)
bin=$build/bin

export LARK_BENCH_QUICK=$quick
export LARK_BENCH_ROUNDS=${LARK_BENCH_ROUNDS:-$((quick ? 2 : 5))}
export QT_QPA_PLATFORM=offscreen
out=$(mktemp -d "${TMPDIR:-/tmp}/lark-bench-run-XXXXXX")
trap 'rm -rf "$out"' EXIT
export LARK_BENCH_RESULTS=$out/rows
source bench/common/harness.sh

# Every input first, so that a generator's failure ends the run before any figure.
bench/inputs/make_inputs.sh > /dev/null

compare --work "HTML tokenizer, 10 MB page of 1990s markup" --figure gbench \
  --ours THtmlReader "$(gbench "$bin/bench_tokenizer" BM_LarkTokenizer)" \
  --peer "libxml2 HTML SAX" "$(gbench "$bin/bench_tokenizer" BM_Libxml2HtmlSax)"

"$bin/bench_images" --check-same-pixels > "$out/pixels" || { cat "$out/pixels"; exit 1; }
for peer in Libpng Libspng; do
  compare --work "PNG decode to RGBA8, 20 images of 1024 x 1024" --figure gbench \
    --ours TPNGImage "$(gbench "$bin/bench_images" BM_PNG_Lark)" \
    --peer "${peer,}" "$(gbench "$bin/bench_images" "BM_PNG_$peer")"
done
compare --work "GIF decode and compose to RGBA8, 2 stills and 2 animations of 50 frames" --figure gbench \
  --ours TGIFImage "$(gbench "$bin/bench_images" BM_GIF_Lark)" \
  --peer giflib "$(gbench "$bin/bench_images" BM_GIF_Giflib)"

compare --work "measure and draw 10,000 words, Arial 16 px" --figure gbench \
  --ours TCanvas "$(gbench "$bin/bench_canvas" TCanvasWords)" \
  --peer "QPainter directly" "$(gbench "$bin/bench_canvas" QPainterWords)"
compare --work "style cascade, 4,100 elements under 200 rules" --figure gbench \
  --ours TPropStack "$(gbench "$bin/bench_cascade" BM_OpenElements)"
compare --work "layout of 10,000 paragraphs at 800 px" --figure gbench \
  --ours TSectionList "$(gbench "$bin/bench_layout" BM_Layout/iterations:5)"
compare --work "paint of the laid-out document, 800 x 1000 pages" --figure gbench \
  --ours TSectionList "$(gbench "$bin/bench_layout" BM_PaintWholeDocument/iterations:3)"

busy_seconds=$([[ $quick == 1 ]] && echo 0.5 || echo 2)
compare --work "GUI-thread CPU time per second, a busy indicator animating for $busy_seconds s while the loop pumps" \
  --figure seconds \
  --ours "TVVNavigatorGauge, Delay 15" "$bin/bench_controls --only gauge $busy_seconds" \
  --peer "busy QProgressBar" "$bin/bench_controls --only bar $busy_seconds"

compare --work "parse, style and layout of the 10 MB page at 1024 px" --figure gbench \
  --ours "THtmlParser + TSectionList" "$(gbench "$bin/bench_html_parser" BM_LarkParseAndLayout/4/iterations:3)" \
  --peer litehtml "$(gbench "$bin/bench_html_parser" BM_LitehtmlParseAndLayout/iterations:3)"
compare --work "parse, style and layout of the 10 MB page's first quarter (N beside the 4N above)" --figure gbench \
  --ours "THtmlParser + TSectionList" "$(gbench "$bin/bench_html_parser" BM_LarkParseAndLayout/1/iterations:3)"

for page in "large 10.5 MB page" "small 100 KB page"; do
  compare --work "viewer 800 x 600: load, layout and first full paint, ${page#* }" --figure seconds \
    --ours THTMLViewer "$bin/bench_viewer load ${page%% *} lark" \
    --peer QTextBrowser "$bin/bench_viewer load ${page%% *} qt"
done
compare --work "viewer: one find from the top for a word only the end of the 10.5 MB page holds" --figure seconds \
  --ours "THTMLViewer::Find" "$bin/bench_viewer find large lark" \
  --peer "QTextDocument::find" "$bin/bench_viewer find large qt"
for page in "small 100 KB page" "tile 100 KB page over a 1 x 1 BODY BACKGROUND tile"; do
  compare --work "viewer 800 x 600: median line-down step mid-page, ${page#* }" --figure median-lines \
    --ours THTMLViewer "$bin/bench_viewer steps ${page%% *} lark" \
    --peer QTextBrowser "$bin/bench_viewer steps ${page%% *} qt"
  compare --work "viewer 800 x 600: p99 of 1,000 line-down steps mid-page, ${page#* }" --figure seconds \
    --ours THTMLViewer "$bin/bench_viewer p99 ${page%% *} lark" \
    --peer QTextBrowser "$bin/bench_viewer p99 ${page%% *} qt"
done

bench/net/run_http_bench.sh "$build"
bench/net_tls/run_tls_ftp_bench.sh "$build"
bench/app_fetch/run_image_bench.sh "$build"
bench/app_download/run_download_bench.sh "$build"
bench/print/run_print_bench.sh "$build"
# Start to first paint beside other browsers under Xvfb; a table of its own.
bench/first_paint/run_first_paint.py "$bin/larkspan" --build "$build" > "$out/first_paint"
# A page of 20 slow images beside other browsers under Xvfb; a table of its own.
bench/app_fetch/run_image_page.py "$bin/larkspan" --build "$build" > "$out/image_page"

# These two print tables of their own: growth at N and 4N, and the search
# beside grep and ripgrep (which uses every core, so it is not pinned).
taskset -c "$LARK_BENCH_CORE" "$bin/bench_model_scale" "$LARK_BENCH_ROUNDS" > "$out/model_scale"
LARK_BENCH_DIR=$(bench/inputs/make_inputs.sh tree) "$bin/bench_search" > "$out/search" 2>&1

echo
echo "Larkspan benchmarks, $(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) cores of" \
  "$(sed -n 's/^model name[^:]*: //p' /proc/cpuinfo | head -n 1), $(uname -r)"
echo "Ours built RelWithDebInfo (GCC -O2 -g) in $build/; peers from Debian's packages."
echo "Contenders pinned to core $LARK_BENCH_CORE, servers to core $LARK_BENCH_SERVER_CORE;" \
  "$LARK_BENCH_ROUNDS alternated runs each$([[ $quick == 1 ]] && echo ' (quick check: not for the record)')."
echo "Ratio: peer time / our time (above 1, ours is faster), median of the rounds; spread: lowest-highest ratio."
echo
python3 bench/common/alternate.py table "$LARK_BENCH_RESULTS"
echo
echo "Document model scaling (bench_model_scale; 4N/N time ratio, linear is about 4):"
cat "$out/model_scale"
echo
cat "$out/first_paint"
echo
cat "$out/image_page"
echo
echo "Local file search (bench_search):"
# Its reporter colours its lines whatever the flags say.
sed 's/\x1b\[[0-9;]*m//g' "$out/search" | grep -v '^\*\*\*WARNING\|^Run on\|^CPU Caches\|^  L[123]\|^Load Average'

