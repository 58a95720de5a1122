# A PDF printer for tests that print through Wine: a CUPS scheduler of the caller's own, on a
# socket in a folder of its own, with one PDF printer as its default. Wine asks the scheduler
# named by CUPS_SERVER for its printers when its server starts, so start this first.
#
#   cups_pdf_start <dir>   prints the value for CUPS_SERVER; the PDFs land in $(cups_pdf_output <dir>)
#   cups_pdf_output <dir>  prints the folder the PDFs land in
#   cups_pdf_stop <dir>    stops the scheduler, removes its state and the printer's settings
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

# The scheduler runs its filters as the unprivileged printing user, who must reach the spool, the
# PPD and the output; <dir> may lie below a folder only its owner can enter (a clone in a 0700
# home), so all of that lives in a folder of its own under /tmp, enterable but not listable, and
# <dir> keeps the logs, the pid and a link "state" to it.
cups_pdf_start() {
  local dir queue state i
  dir=$(mkdir -p "$1" && cd "$1" && pwd)
  cups_pdf_stop "$dir"
  queue=$(cups_pdf_queue "$dir")
  state=$(mktemp -d /tmp/cups-pdf.XXXXXX)
  chmod 0711 "$state"
  ln -sfn "$state" "$dir/state"
  mkdir -p "$state/etc/ppd" "$state/state" "$state/cache" "$state/spool/tmp" "$state/pdf" "$dir/log"
  chmod 0755 "$state/etc" "$state/etc/ppd"
  chmod 0777 "$state/pdf"
  cat >"$state/etc/cupsd.conf" <<CONF
Listen $state/cups.sock
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
  cat >"$state/etc/cups-files.conf" <<CONF
ServerRoot $state/etc
StateDir $state/state
CacheDir $state/cache
RequestRoot $state/spool
TempDir $state/spool/tmp
ErrorLog $dir/log/error_log
AccessLog $dir/log/access_log
PageLog $dir/log/page_log
Sandboxing Relaxed
CONF
  cat >"/etc/cups/cups-pdf-$queue.conf" <<CONF
Out $state/pdf
AnonDirName $state/pdf
Label 0
UserUMask 0000
CONF
  setsid /usr/sbin/cupsd -f -c "$state/etc/cupsd.conf" -s "$state/etc/cups-files.conf" \
    </dev/null >"$dir/log/cupsd.out" 2>&1 &
  echo $! >"$dir/cupsd.pid"
  for i in $(seq 1 100); do
    [ -S "$state/cups.sock" ] && CUPS_SERVER=$state/cups.sock lpstat -r >/dev/null 2>&1 && break
    sleep 0.1
  done
  CUPS_SERVER=$state/cups.sock lpadmin -p "$queue" -v "cups-pdf:/$queue" -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd -E \
    >>"$dir/log/lpadmin.out" 2>&1 &&
    CUPS_SERVER=$state/cups.sock lpadmin -d "$queue" >>"$dir/log/lpadmin.out" 2>&1 ||
    { echo "cups-pdf: the printer could not be set up (see $dir/log)" >&2; cups_pdf_stop "$dir"; return 1; }
  echo "$state/cups.sock"
}

cups_pdf_output() { echo "$(readlink "$1/state")/pdf"; }

cups_pdf_stop() {
  local dir pid state
  dir=$(cd "$1" 2>/dev/null && pwd) || return 0
  if [ -f "$dir/cupsd.pid" ]; then
    pid=$(cat "$dir/cupsd.pid")
    kill "$pid" 2>/dev/null || true
    # Its state goes only once it has stopped writing there.
    for _ in $(seq 1 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    rm -f "$dir/cupsd.pid"
  fi
  state=$(readlink "$dir/state" || true)
  case "$state" in /tmp/cups-pdf.*) rm -rf "$state" ;; esac
  rm -f "$dir/state"
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
