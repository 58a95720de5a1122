# A PDF printer for tests that print through Wine: a CUPS scheduler of the caller's own, on a
# socket in a folder of its own, with one PDF printer as its default. Wine asks the scheduler
# named by CUPS_SERVER for its printers when its server starts, so start this first.
#
#   cups_pdf_start <dir>   prints the value for CUPS_SERVER; the PDFs land in <dir>/pdf
#   cups_pdf_stop <dir>    stops the scheduler and removes the printer's settings
#   cups_pdf_missing       prints why this machine cannot do it (nothing when it can)
#   cups_pdf_require       in a test script: skips it without a printer, else sets pdf_dir
#   cups_pdf_print         prints with a command and names the PDF it made
#
# Needs root (the PDF backend runs only as root) and Debian's cups-daemon, cups-client and
# printer-driver-cups-pdf, which tools/deps installs.

cups_pdf_missing() {
  local p
  for p in /usr/sbin/cupsd /usr/sbin/lpadmin /usr/lib/cups/backend/cups-pdf /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd; do
    [ -e "$p" ] || { echo "no $p (Debian: cups-daemon, cups-client, printer-driver-cups-pdf)"; return 0; }
  done
  [ "$(id -u)" -eq 0 ] || echo "the PDF printer backend runs only as root"
}

# The queue's name comes from the folder, so that several schedulers can run on one machine: the
# PDF backend reads the settings named by its device address from the system's folder.
cups_pdf_queue() { echo "TESTPDF_$(echo "$1" | md5sum | cut -c1-12)"; }

cups_pdf_start() {
  local dir queue i
  dir=$(mkdir -p "$1" && cd "$1" && pwd)
  queue=$(cups_pdf_queue "$dir")
  mkdir -p "$dir/etc/ppd" "$dir/state" "$dir/cache" "$dir/spool/tmp" "$dir/pdf" "$dir/log"
  chmod 0777 "$dir/pdf"
  cat >"$dir/etc/cupsd.conf" <<CONF
Listen $dir/cups.sock
LogLevel warn
WebInterface No
Browsing No
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Location /admin>
  Order allow,deny
  Allow all
</Location>
CONF
  cat >"$dir/etc/cups-files.conf" <<CONF
ServerRoot $dir/etc
StateDir $dir/state
CacheDir $dir/cache
RequestRoot $dir/spool
TempDir $dir/spool/tmp
ErrorLog $dir/log/error_log
AccessLog $dir/log/access_log
PageLog $dir/log/page_log
Sandboxing Relaxed
CONF
  cat >"/etc/cups/cups-pdf-$queue.conf" <<CONF
Out $dir/pdf
AnonDirName $dir/pdf
Label 0
UserUMask 0000
CONF
  setsid /usr/sbin/cupsd -f -c "$dir/etc/cupsd.conf" -s "$dir/etc/cups-files.conf" \
    </dev/null >"$dir/log/cupsd.out" 2>&1 &
  echo $! >"$dir/cupsd.pid"
  for i in $(seq 1 100); do
    [ -S "$dir/cups.sock" ] && CUPS_SERVER=$dir/cups.sock lpstat -r >/dev/null 2>&1 && break
    sleep 0.1
  done
  CUPS_SERVER=$dir/cups.sock lpadmin -p "$queue" -v "cups-pdf:/$queue" -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd -E \
    >>"$dir/log/lpadmin.out" 2>&1 &&
    CUPS_SERVER=$dir/cups.sock lpadmin -d "$queue" >>"$dir/log/lpadmin.out" 2>&1 ||
    { echo "cups-pdf: the printer could not be set up (see $dir/log)" >&2; cups_pdf_stop "$dir"; return 1; }
  echo "$dir/cups.sock"
}

cups_pdf_stop() {
  local dir
  dir=$(cd "$1" 2>/dev/null && pwd) || return 0
  if [ -f "$dir/cupsd.pid" ]; then
    kill "$(cat "$dir/cupsd.pid")" 2>/dev/null || true
    rm -f "$dir/cupsd.pid"
  fi
  rm -f "/etc/cups/cups-pdf-$(cups_pdf_queue "$dir").conf"
}

# The start of a test script that prints: ends the script as skipped when the test run has no
# PDF printer (tools/test says why in SKADRA_TEST_PDF_SKIP), else sets pdf_dir to the folder the
# printer's PDFs land in.
#   cups_pdf_require
cups_pdf_require() {
  if [ -z "${SKADRA_TEST_PDF_DIR:-}" ]; then
    echo "skipped: no PDF printer on this machine: ${SKADRA_TEST_PDF_SKIP:-tools/test did not start one}"
    exit 0
  fi
  pdf_dir=$SKADRA_TEST_PDF_DIR
}

# Runs a command that prints on the PDF printer whose PDFs land in <dir>, then prints the name of
# the PDF that the job made, once the file is whole; fails when none comes. The command's output
# goes to stderr.
#   cups_pdf_print <dir> <command...>
cups_pdf_print() {
  local dir=$1 before pdf i
  shift
  before=$(ls "$dir")
  "$@" >&2
  for i in $(seq 1 600); do
    pdf=$(comm -13 <(echo "$before") <(ls "$dir") | grep '\.pdf$' | head -1 || true)
    # The backend writes the file, then sets its mode; wait until ghostscript is done with it.
    if [ -n "$pdf" ] && pdfinfo "$dir/$pdf" >/dev/null 2>&1; then
      echo "$pdf"
      return 0
    fi
    sleep 0.1
  done
  echo "FAIL: no PDF came out of the printer" >&2
  return 1
}
