#!/bin/bash
# The test run's PDF printer works wherever the clone lies: its scheduler's filters run as the
# unprivileged printing user, who cannot pass through a folder only its owner may enter. Started
# with its folder under such a one, it must print a page with lp, and leave nothing behind.
#   cups_pdf_test.sh
set -euo pipefail
source "$(dirname "$0")/../../tools/lib/cups-pdf.sh"
why=$(cups_pdf_missing)
if [ -n "$why" ]; then
  echo "skipped: $why"
  exit 0
fi
home=$(mktemp -d)  # 0700, as a home folder is
dir=$home/clone/build/cups
trap 'cups_pdf_stop "$dir"; rm -rf "$home"' EXIT
[ "$(stat -c %a "$home")" = 700 ]
server=$(cups_pdf_start "$dir")
out=$(cups_pdf_output "$dir")
# PostScript, as Wine sends it; a standard font, so that the PDF's text can be read back.
text="Printed from below a folder that only its owner may enter"
printf '%%!PS\n/Helvetica findfont 14 scalefont setfont\n72 720 moveto (%s) show\nshowpage\n' "$text" >"$home/page.ps"
pdf=$(cups_pdf_print "$out" env CUPS_SERVER="$server" lp "$home/page.ps")
echo "printed: $pdf"
pdftotext "$out/$pdf" - | grep -qF "$text" || { echo "FAIL: the page lacks: $text"; exit 1; }
state=$(readlink "$dir/state")
cups_pdf_stop "$dir"
[ ! -e "$state" ] || { echo "FAIL: the scheduler's folder $state is still there"; exit 1; }
[ ! -e "$dir/state" ] || { echo "FAIL: the link to it is still there"; exit 1; }
echo "PASS"
