#!/bin/bash
# Starts a CUPS scheduler with a queue "PDF" that keeps every job's PDF in /var/spool/tw-pdf
# (as job-<id>.pdf), so tests can read what was printed. Needs root.
set -euo pipefail
OUT=/var/spool/tw-pdf
[ "$(id -u)" -eq 0 ] || { echo "print-queue: not root"; exit 1; }
mkdir -p "$OUT" && chmod 777 "$OUT"
BACKEND=/usr/lib/cups/backend/keep
cat > "$BACKEND" <<'SH'
#!/bin/sh
if [ $# -eq 0 ]; then echo 'file keep "Unknown" "Keep documents"'; exit 0; fi
dir="${DEVICE_URI#keep:}"
if [ -n "$6" ]; then cp "$6" "$dir/job-$1.pdf"; else cat > "$dir/job-$1.pdf"; fi
chmod 666 "$dir/job-$1.pdf"
exit 0
SH
chmod 0700 "$BACKEND"
PPD=/etc/cups/tw-keep.ppd
grep -v '^\*cupsFilter' /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd > "$PPD"
echo '*cupsFilter2: "application/pdf application/pdf 0 -"' >> "$PPD"
pkill -x cupsd 2>/dev/null || true
sleep 0.5
/usr/sbin/cupsd
for i in $(seq 1 50); do lpstat -r 2>/dev/null | grep -q "is running" && break; sleep 0.2; done
lpadmin -p PDF -E -v "keep:$OUT" -P "$PPD"
lpadmin -d PDF
echo "print-queue: PDF -> $OUT"
