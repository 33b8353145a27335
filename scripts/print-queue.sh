#!/bin/bash
# A private CUPS scheduler for the printing tests, so that a test run leaves the machine's own
# printing alone: its configuration, spool, state and logs live in a temporary folder, it listens
# only on a socket in that folder (no TCP port), and it has one queue "PDF" that keeps every job's
# document as job-<id>.pdf in a folder of its own. The queue is that scheduler's default printer.
# The system's scheduler, its queues, its default printer and the system folders of CUPS are never
# touched, and no root is needed (the scheduler and the backend run as the invoking user).
#
#   eval "$(bash scripts/print-queue.sh start)"   starts one and prints the exports the tests need:
#       CUPS_SERVER      the scheduler's socket (libcups and Qt's QPrinterInfo connect there)
#       CUPS_SERVERROOT  an empty client folder, so no client.conf or lpoptions of the machine's
#                        chooses another server or another default printer
#       TW_PDF_SPOOL     the folder the queue keeps the documents in (the tests read them there)
#       TW_PRINT_QUEUE   the private folder, which "stop" removes
#   bash scripts/print-queue.sh stop              stops the one named by TW_PRINT_QUEUE (or by the
#                                                 folder given as second argument) and removes it
#
# By hand, in a worktree:
#   eval "$(bash scripts/print-queue.sh start)"
#   (cd build && ctest -j6 --output-on-failure)
#   bash scripts/print-queue.sh stop
# A default printer named in ~/.cups/lpoptions would still win over the private scheduler's.
#
# Needs the packages cups (cupsd, lpadmin, lpstat) and printer-driver-cups-pdf (the PPD the
# queue's PPD is made from); scripts/deps.sh installs them.
set -euo pipefail
HERE="$(cd "$(dirname "$0")" && pwd)"

usage() {
    echo "usage: $0 start | stop [folder]" >&2
    exit 2
}

# Whether a process is alive (a zombie that waits for its parent counts as gone).
alive() {
    local state
    state=$(ps -o stat= -p "$1" 2>/dev/null) || return 1
    [[ "$state" != Z* ]]
}

stop() {
    local root="${1:-${TW_PRINT_QUEUE:-}}"
    [ -n "$root" ] || { echo "print-queue: no TW_PRINT_QUEUE to stop" >&2; return 1; }
    # Only a folder this script made: it holds the scheduler's configuration and process id.
    if [ ! -f "$root/conf/cupsd.conf" ] || [ ! -f "$root/cupsd.pid" ]; then
        echo "print-queue: $root is not a private print queue" >&2
        return 1
    fi
    local pid
    pid=$(cat "$root/cupsd.pid")
    # The process id is only trusted while it still names this folder's scheduler.
    if alive "$pid" && ps -o args= -p "$pid" | grep -qF "$root/conf/cupsd.conf"; then
        kill -TERM "$pid" 2>/dev/null || true
        for _ in $(seq 1 50); do alive "$pid" || break; sleep 0.1; done
        if alive "$pid"; then kill -KILL "$pid" 2>/dev/null || true; fi
    fi
    rm -rf "$root"
}

start() {
    local cupsd=/usr/sbin/cupsd ppd_source=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
    if ! command -v lpadmin >/dev/null || [ ! -x "$cupsd" ]; then
        echo "print-queue: cups is not installed" >&2
        return 1
    fi
    if [ ! -f "$ppd_source" ]; then
        echo "print-queue: $ppd_source is missing (printer-driver-cups-pdf)" >&2
        return 1
    fi
    # A socket path must stay short (108 bytes); a long TMPDIR falls back to /tmp.
    local base="${TMPDIR:-/tmp}"
    [ ${#base} -le 60 ] || base=/tmp
    local root
    root=$(mktemp -d "$base/tw-print.XXXXXX")
    # Filters run by a scheduler started by root run as user lp and need to reach the spool; the
    # socket's own folder admits only the invoking user.
    chmod 755 "$root"
    mkdir -p "$root"/{conf,client,bin/backend,spool/tmp,state,cache,log,jobs,socket}
    chmod 700 "$root/socket"
    chmod 777 "$root/jobs"

    # The scheduler finds backends, filters and its helpers below ServerBin: the system's ones,
    # but a backend folder of its own that holds only the project's keep backend. Mode 0700 makes
    # a scheduler run by root run the backend as root too (CUPS runs other backends as user lp).
    local d
    for d in cgi-bin daemon driver filter monitor notifier; do
        ln -s "/usr/lib/cups/$d" "$root/bin/$d"
    done
    install -m 0700 "$HERE/cups/keep" "$root/bin/backend/keep"

    # The PPD passes Qt's PDF through unchanged, with the page sizes and resolutions of cups-pdf's.
    grep -v '^\*cupsFilter' "$ppd_source" >"$root/keep.ppd"
    echo '*cupsFilter2: "application/pdf application/pdf 0 -"' >>"$root/keep.ppd"

    cat >"$root/conf/cups-files.conf" <<EOF
ServerRoot $root/conf
ServerBin $root/bin
RequestRoot $root/spool
TempDir $root/spool/tmp
StateDir $root/state
CacheDir $root/cache
AccessLog $root/log/access_log
ErrorLog $root/log/error_log
PageLog $root/log/page_log
EOF
    # Only the invoking user can reach the socket (its folder's mode), so every operation is
    # allowed without authentication.
    cat >"$root/conf/cupsd.conf" <<EOF
Listen $root/socket/cups.sock
Browsing No
WebInterface No
LogLevel warn
DefaultAuthType None
<Policy default>
  JobPrivateAccess all
  JobPrivateValues none
  SubscriptionPrivateAccess all
  SubscriptionPrivateValues none
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
EOF

    # Its own session, so that a Ctrl-C meant for the tests does not reach it; "stop" ends it.
    setsid "$cupsd" -f -c "$root/conf/cupsd.conf" -s "$root/conf/cups-files.conf" \
        </dev/null >"$root/log/cupsd.out" 2>&1 &
    echo $! >"$root/cupsd.pid"

    export CUPS_SERVER="$root/socket/cups.sock" CUPS_SERVERROOT="$root/client"
    unset PRINTER LPDEST
    local up=""
    for _ in $(seq 1 100); do
        if lpstat -r 2>/dev/null | grep -q "is running"; then up=1 && break; fi
        alive "$(cat "$root/cupsd.pid")" || break
        sleep 0.1
    done
    if [ -z "$up" ] ||
        ! lpadmin -p PDF -E -v "keep:$root/jobs" -P "$root/keep.ppd" 2>"$root/log/lpadmin.out" ||
        ! lpadmin -d PDF 2>>"$root/log/lpadmin.out"; then
        echo "print-queue: the private scheduler did not start:" >&2
        cat "$root/log/cupsd.out" "$root/log/error_log" "$root/log/lpadmin.out" 2>/dev/null >&2 || true
        stop "$root" || true
        return 1
    fi

    echo "export CUPS_SERVER='$root/socket/cups.sock'"
    echo "export CUPS_SERVERROOT='$root/client'"
    echo "export TW_PDF_SPOOL='$root/jobs'"
    echo "export TW_PRINT_QUEUE='$root'"
    echo "unset PRINTER LPDEST"
    echo "print-queue: PDF -> $root/jobs" >&2
}

case "${1:-}" in
    start) start ;;
    stop) stop "${2:-}" ;;
    *) usage ;;
esac
