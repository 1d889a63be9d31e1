#!/bin/bash
# Stops what scripts/cups-start.sh started: the fake network printer and cupsd.
# Only the processes named in its pid files are ended; the queues stay configured.
set -uo pipefail

DIR=${KAVEL_CUPS_DIR:-/tmp/kavel-cups}

stop_pid_file() {
    local file=$1 pid
    [ -s "$file" ] || return 0
    pid=$(cat "$file")
    if kill -0 "$pid" 2>/dev/null; then
        kill "$pid"
        for _ in $(seq 100); do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.05
        done
    fi
    rm -f "$file"
}

stop_pid_file "$DIR/socat.pid"
stop_pid_file "$DIR/cupsd.pid"
lpstat -r 2>/dev/null || true
