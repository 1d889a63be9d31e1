#!/bin/bash
# Brings up a local CUPS scheduler with capture queues for Kavel's printing tests.
# Idempotent: a running scheduler, listener or queue is left as it is.
#
# Queues (all raw, so the PDF that Qt sends arrives unchanged):
#   KavelCap   capture backend -> $KAVEL_CUPS_DIR/cap/job-ID.pdf and job-ID.txt
#   KavelCap2  capture backend -> $KAVEL_CUPS_DIR/cap2/ (a second printer to choose)
#   KavelSock  socket://127.0.0.1:9100, a fake network printer (socat) ->
#              $KAVEL_CUPS_DIR/sock/job-PID.bin
#   KavelRefuse  a queue that does not accept jobs (cupsreject), for the tests of refused
#              jobs; $KAVEL_REFUSING_QUEUE names it otherwise (the tests read it too)
# A scheduler started here takes at most 99 copies a job (MaxCopies), so that a job with
# more is refused; the tests ask the scheduler for its limit, whatever it is.
# job-ID.txt holds "copies=", "title=", "options=" and "user=" lines; it is written after
# the job's data, so a reader that sees it finds the data complete.
#
# Must run as root on a machine without systemd: cupsd runs in the foreground
# (-f), in the background of this shell, and is stopped by scripts/cups-stop.sh.
set -euo pipefail

DIR=${KAVEL_CUPS_DIR:-/tmp/kavel-cups}
BACKEND=/usr/lib/cups/backend/kavelcap
REFUSING=${KAVEL_REFUSING_QUEUE:-KavelRefuse}
CONF=/etc/cups/cupsd.conf

if [ "$(id -u)" -ne 0 ]; then
    echo "cups-start: must run as root (cupsd and lpadmin need it)" >&2
    exit 1
fi
for tool in /usr/sbin/cupsd lpstat lpadmin cupsreject socat; do
    if ! command -v "$tool" >/dev/null; then
        echo "cups-start: $tool is missing; run scripts/install-deps.sh" >&2
        exit 1
    fi
done

mkdir -p "$DIR"/cap "$DIR"/cap2 "$DIR"/sock "$DIR"/refused
chmod 0755 "$DIR"

# The capture backend. Mode 0700 makes cupsd run it as root, so it may write anywhere.
# Without arguments it answers the device discovery.
cat >"$BACKEND.new" <<'EOF'
#!/bin/sh
# kavelcap backend: writes each job's data and its attributes to the folder of the
# device URI (kavelcap:/folder).
if [ $# -eq 0 ]; then
    echo 'direct kavelcap "Unknown" "Kavel capture to a folder"'
    exit 0
fi
dir=${DEVICE_URI#kavelcap:}
mkdir -p "$dir" || exit 1
out="$dir/job-$1"
if [ -n "${6:-}" ]; then
    cat "$6" >"$out.pdf.part" || exit 1
else
    cat >"$out.pdf.part" || exit 1
fi
mv -f "$out.pdf.part" "$out.pdf"
printf 'copies=%s\ntitle=%s\noptions=%s\nuser=%s\n' "$4" "$3" "$5" "$2" >"$out.txt.part"
mv -f "$out.txt.part" "$out.txt"
chmod 0644 "$out.pdf" "$out.txt"
exit 0
EOF
chmod 0700 "$BACKEND.new"
mv -f "$BACKEND.new" "$BACKEND"

scheduler_running() { lpstat -r 2>/dev/null | grep -q 'is running'; }

if ! scheduler_running; then
    mkdir -p /run/cups
    # A limit set by the machine's own configuration stays.
    grep -q '^MaxCopies' "$CONF" || echo 'MaxCopies 99' >>"$CONF"
    /usr/sbin/cupsd -f >"$DIR/cupsd.log" 2>&1 &
    echo $! >"$DIR/cupsd.pid"
    for _ in $(seq 200); do
        scheduler_running && break
        sleep 0.05
    done
    if ! scheduler_running; then
        echo "cups-start: cupsd did not start; see $DIR/cupsd.log" >&2
        exit 1
    fi
fi

# The fake network printer: every connection to 127.0.0.1:9100 becomes one file.
if ! { [ -s "$DIR/socat.pid" ] && kill -0 "$(cat "$DIR/socat.pid")" 2>/dev/null; }; then
    socat -u TCP-LISTEN:9100,bind=127.0.0.1,reuseaddr,fork \
        SYSTEM:"cat > $DIR/sock/job-\$\$.bin" >"$DIR/socat.log" 2>&1 &
    echo $! >"$DIR/socat.pid"
fi

# lpadmin warns that raw queues are deprecated; they are what these tests need.
add_queue() {
    lpadmin -p "$1" -E -v "$2" -m raw 2>/dev/null
}
add_queue KavelCap "kavelcap:$DIR/cap"
add_queue KavelCap2 "kavelcap:$DIR/cap2"
add_queue KavelSock socket://127.0.0.1:9100
add_queue "$REFUSING" "kavelcap:$DIR/refused"
cupsreject -r "kept closed for Kavel's tests of refused jobs" "$REFUSING"

# A system without a default printer gets KavelCap as its default.
if ! lpstat -d 2>/dev/null | grep -q 'system default destination:'; then
    lpadmin -d KavelCap
fi

lpstat -r
lpstat -d || true
echo "KavelCap  jobs land in $DIR/cap (job-ID.pdf, job-ID.txt)"
echo "KavelCap2 jobs land in $DIR/cap2"
echo "KavelSock jobs land in $DIR/sock (job-PID.bin)"
echo "$REFUSING accepts no jobs"
