# Sourced by the scripts: gives the print tests a real printer.
# setup_pdf_printer starts cupsd when no scheduler runs, adds the PDF printer
# TaviloPDF (cups-pdf) and makes it the default, doing nothing that is
# already done. On success it exports TAVILO_PDF_PRINTER (the printer's
# name) and TAVILO_PDF_FOLDER (where cups-pdf writes this user's PDFs);
# otherwise it says why and exports neither, and the print tests skip.
# cupsd is a system service: once started it keeps running for later runs.

_pdf_printer=TaviloPDF
_pdf_ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
_cups_pdf_conf=/etc/cups/cups-pdf.conf

_scheduler_running() { lpstat -r 2>/dev/null | grep -q '^scheduler is running'; }

_start_scheduler() {
  _scheduler_running && return 0
  [[ -x /usr/sbin/cupsd ]] || { echo "printer: cupsd is not installed" >&2; return 1; }
  /usr/sbin/cupsd >/dev/null 2>&1 || { echo "printer: cupsd did not start" >&2; return 1; }
  local tries
  for tries in $(seq 100); do
    _scheduler_running && return 0
    sleep 0.1
  done
  echo "printer: cupsd started but does not answer" >&2
  return 1
}

_add_pdf_printer() {
  if ! lpstat -p "$_pdf_printer" >/dev/null 2>&1; then
    [[ -f "$_pdf_ppd" ]] || { echo "printer: cups-pdf is not installed" >&2; return 1; }
    # lpadmin warns that printer drivers are deprecated; the PPD still works.
    lpadmin -p "$_pdf_printer" -E -v cups-pdf:/ -P "$_pdf_ppd" 2>/dev/null ||
      { echo "printer: lpadmin could not add $_pdf_printer" >&2; return 1; }
  fi
  cupsenable "$_pdf_printer" 2>/dev/null && cupsaccept "$_pdf_printer" 2>/dev/null ||
    { echo "printer: $_pdf_printer cannot be enabled" >&2; return 1; }
  [[ "$(lpstat -d 2>/dev/null)" == *": $_pdf_printer" ]] || lpadmin -d "$_pdf_printer" 2>/dev/null ||
    { echo "printer: $_pdf_printer cannot be made the default" >&2; return 1; }
}

# cups-pdf names its folder in its configuration ("Out", default
# /var/spool/cups-pdf/${USER}), with ${HOME} and ${USER} of the job's owner.
_pdf_folder() {
  local user home out
  user=$(id -un)
  home=$(getent passwd "$user" | cut -d: -f6)
  out=$(sed -n 's/^[[:space:]]*Out[[:space:]]\+//p' "$_cups_pdf_conf" 2>/dev/null | tail -n 1)
  out=${out:-'/var/spool/cups-pdf/${USER}'}
  out=${out//'${HOME}'/$home}
  out=${out//'${USER}'/$user}
  echo "$out"
}

setup_pdf_printer() {
  unset TAVILO_PDF_PRINTER TAVILO_PDF_FOLDER
  _start_scheduler && _add_pdf_printer || return 1
  export TAVILO_PDF_PRINTER=$_pdf_printer
  TAVILO_PDF_FOLDER=$(_pdf_folder)
  export TAVILO_PDF_FOLDER
}
