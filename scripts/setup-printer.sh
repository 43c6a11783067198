#!/usr/bin/env bash
# Brings up CUPS with the printing tests' own queues, both cups-pdf queues
# (printing into ~/PDF): "KestrinPDF", which prints, and "KestrinRefused",
# which rejects every job, always, for the tests of a refused job. The tests
# name them as their process's default printer (LPDEST and PRINTER; in Wine,
# its prefix's default printer): this machine's default printer is neither
# changed nor used, and no queue is switched while tests run.
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

ppd=$(ls /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd 2>/dev/null || true)
for queue in KestrinPDF KestrinRefused; do
  if ! lpstat -v "$queue" >/dev/null 2>&1; then
    if ! out=$("${sudo[@]}" lpadmin -p "$queue" -E -v cups-pdf:/ ${ppd:+-P "$ppd"} 2>&1); then
      give_up "could not add the PDF queue $queue: $out"
    fi
  fi
  # A queue of that name that is not a PDF queue is not the tests': left alone.
  LC_ALL=C lpstat -v "$queue" 2>/dev/null | grep -q 'cups-pdf:' || give_up "$queue is not a cups-pdf queue"
  "${sudo[@]}" cupsenable "$queue" 2>/dev/null || true
done
"${sudo[@]}" cupsaccept KestrinPDF 2>/dev/null || true
"${sudo[@]}" cupsreject KestrinRefused 2>/dev/null || true
LC_ALL=C lpstat -a KestrinPDF,KestrinRefused 2>/dev/null || true
