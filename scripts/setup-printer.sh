#!/usr/bin/env bash
# Brings up CUPS with a PDF queue ("KestrinPDF", printing into ~/PDF through
# cups-pdf) for the real printing test. The queue becomes the default printer
# only where there is no default printer yet, or in CI; a real printer that is
# already the default is left alone (the printing test then skips itself).
set -uo pipefail

# Without the queue the real printing tests skip. That is a fault in CI, where
# they have to run; elsewhere it is only said.
give_up() {
  echo "setup-printer: $*"
  [ "${CI:-}" = true ] && exit 1
  exit 0
}

sudo=()
if [ "$(id -u)" -ne 0 ]; then
  if ! sudo -n true 2>/dev/null; then
    give_up "no root rights, the PDF printer queue is not set up"
  fi
  sudo=(sudo -n)
fi

# `lpstat -r` exits with 0 also when it says the scheduler is not running, so
# its words decide (in the C locale, where they are known).
scheduler_runs() {
  [ "$(LC_ALL=C lpstat -r 2>/dev/null)" = "scheduler is running" ]
}

if ! scheduler_runs; then
  "${sudo[@]}" service cups start >/dev/null 2>&1 || "${sudo[@]}" cupsd >/dev/null 2>&1 || true
  for _ in $(seq 1 50); do
    scheduler_runs && break
    sleep 0.2
  done
fi
if ! scheduler_runs; then
  give_up "the CUPS scheduler does not run, the PDF printer queue is not set up"
fi

if ! lpstat -v KestrinPDF >/dev/null 2>&1; then
  ppd=$(ls /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd 2>/dev/null || true)
  if ! out=$("${sudo[@]}" lpadmin -p KestrinPDF -E -v cups-pdf:/ ${ppd:+-P "$ppd"} 2>&1); then
    give_up "could not add the PDF queue: $out"
  fi
fi
"${sudo[@]}" cupsenable KestrinPDF 2>/dev/null || true
"${sudo[@]}" cupsaccept KestrinPDF 2>/dev/null || true

# Without a default lpstat says "no system default destination".
if [ "${CI:-}" = true ] || ! LC_ALL=C lpstat -d 2>/dev/null | grep -q '^system default destination:'; then
  "${sudo[@]}" lpadmin -d KestrinPDF
fi
if [ "${CI:-}" = true ] && [ "$(LC_ALL=C lpstat -d 2>/dev/null)" != "system default destination: KestrinPDF" ]; then
  give_up "the PDF queue could not be made the default printer"
fi
lpstat -d 2>/dev/null || true
