#!/bin/bash
# Skadra prints its picture on the system printer: a PDF printer of the test run's own (started
# by tools/test, see tools/lib/cups-pdf.sh). The page must hold the picture as one 780 x 1200
# image, stretched into the rectangle (200, 200)-(2184, 3240) in the printer's pixels.
#   print_pdf.sh <emulator...> <drawing_tests.exe>
set -euo pipefail
source "$(dirname "$0")/../../tools/lib/cups-pdf.sh"
cups_pdf_require
dir=$pdf_dir
pdf=$(cups_pdf_print "$dir" env SKADRA_PRINT_PDF=1 "$@" --gtest_filter=Commands.PrintsOnTheSystemPrinter)
echo "printed: $pdf"
pdfimages -list "$dir/$pdf"
images=$(pdfimages -list "$dir/$pdf" | awk 'NR > 2 { print $4 "x" $5 }')
[ "$images" = "780x1200" ] || { echo "FAIL: expected one 780x1200 image, got: $images"; exit 1; }
# At 300 dpi the page is in the printer's pixels; the black picture's box is where it was drawn.
pdftoppm -r 300 -gray "$dir/$pdf" "$dir/page"
python3 - "$dir"/page*.pgm <<'PY'
import sys
data = open(sys.argv[1], 'rb').read()
parts = data.split(maxsplit=4)
w, h = int(parts[1]), int(parts[2])
pixels = parts[4]
rows = [y for y in range(h) if min(pixels[y * w:(y + 1) * w]) < 128]
cols = [x for x in range(w) if min(pixels[x::w]) < 128]
box = (cols[0], rows[0], cols[-1] + 1, rows[-1] + 1)
print("page %dx%d, picture at %s" % (w, h, box))
want = (200, 200, 2184, 3240)
if any(abs(a - b) > 3 for a, b in zip(box, want)):
    sys.exit("FAIL: expected the picture at %s" % (want,))
PY
rm -f "$dir"/page*.pgm
echo "PASS"
