#!/usr/bin/env bash
# Headless Chromium printing a page to PDF, as the viewer's bench does: A4
# with 2 cm margins (an @page rule put in a copy of the page), no header or
# footer. Prints the run's seconds per page printed, start-up included.
# Usage: bench/print/chromium_print.sh PAGE PDF
set -euo pipefail
page=$1 pdf=$2
work=$(mktemp -d "${TMPDIR:-/tmp}/lark-chromium-print-XXXXXX")
trap 'rm -rf "$work"' EXIT
start=$(date +%s.%N)
{ echo '<style>@page { size: A4; margin: 2cm }</style>'; cat "$page"; } > "$work/page.html"
timeout 600 chromium --headless --no-sandbox --disable-gpu --disable-background-networking \
  --disable-component-update --disable-sync --no-first-run --user-data-dir="$work/profile" \
  --no-pdf-header-footer --print-to-pdf="$pdf" "file://$work/page.html" > /dev/null 2>&1
pages=$(pdfinfo "$pdf" | awk '/^Pages:/ {print $2}')
python3 -c "import sys; print('%.6f' % ((float(sys.argv[2]) - float(sys.argv[1])) / int(sys.argv[3])))" \
  "$start" "$(date +%s.%N)" "$pages"
