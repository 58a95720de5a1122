#!/bin/bash
# Fenlo's warning prints its text on the system printer: a PDF printer of the test run's own
# (started by tools/test, see tools/lib/cups-pdf.sh). The page must hold the warning's lines.
#   print_pdf.sh <emulator...> <fenlo_tests.exe>
set -euo pipefail
source "$(dirname "$0")/../../tools/lib/cups-pdf.sh"
cups_pdf_require
dir=$pdf_dir
pdf=$(cups_pdf_print "$dir" env FENLO_PRINT_PDF=1 "$@" --gtest_filter=Warning.PrintsOnTheSystemPrinter)
echo "printed: $pdf"
text=$(pdftotext -layout "$dir/$pdf" - | tr -s ' ')
echo "$text"
for line in "Programmet mangler en fil." "Du skal lave et lille billede på 1 pixel i 24 bit BMP-format." \
            "Gem den under navnet bc24.bmp i samme folder som" "programmet."; do
  grep -qF "$line" <<<"$text" || { echo "FAIL: the page lacks: $line"; exit 1; }
done
echo "PASS"
