#!/bin/bash
# Fenlo's warning prints its text on the system printer: a PDF printer of the test run's own
# (started by tools/test, see tools/lib/cups-pdf.sh). The page must hold the warning's lines.
#   print_pdf.sh <emulator...> <fenlo_tests.exe>
set -euo pipefail
if [ -z "${SKADRA_TEST_PDF_DIR:-}" ]; then
  echo "skipped: no PDF printer on this machine: ${SKADRA_TEST_PDF_SKIP:-tools/test did not start one}"
  exit 0
fi
dir=$SKADRA_TEST_PDF_DIR
before=$(ls "$dir")
FENLO_PRINT_PDF=1 "$@" --gtest_filter=Warning.PrintsOnTheSystemPrinter
pdf=""
for i in $(seq 1 600); do
  pdf=$(comm -13 <(echo "$before") <(ls "$dir") | grep '\.pdf$' | head -1 || true)
  # The backend writes the file, then sets its mode; wait until it is whole.
  if [ -n "$pdf" ] && pdfinfo "$dir/$pdf" >/dev/null 2>&1; then break; fi
  pdf=""
  sleep 0.1
done
[ -n "$pdf" ] || { echo "FAIL: no PDF came out of the printer"; exit 1; }
echo "printed: $pdf"
text=$(pdftotext -layout "$dir/$pdf" - | tr -s ' ')
echo "$text"
for line in "Programmet mangler en fil." "Du skal lave et lille billede på 1 pixel i 24 bit BMP-format." \
            "Gem den under navnet bc24.bmp i samme folder som" "programmet."; do
  grep -qF "$line" <<<"$text" || { echo "FAIL: the page lacks: $line"; exit 1; }
done
echo "PASS"
