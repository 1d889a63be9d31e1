#!/bin/bash
# The 2,000-row x 5-column table with head and foot (bench/gen_html.py table), from the
# script call to the PDF: `kavel run` on a task with the table as its one table item, each
# run a fresh process (browser start included), against `chromium --headless --print-to-pdf`
# of the same HTML in the same run. For each: wall time (median of RUNS), pages, the largest
# single process's peak resident memory (`/usr/bin/time -v`) and the peak of the whole
# process tree's proportional set size (PSS: shared pages counted once over the processes),
# the browser's processes included, sampled every 20 ms in one more run of each that is
# not timed, with its split over the processes at the peak (the command, the browser's main
# process and its helpers by kind).
#
# Usage: bench/html_table.sh [KAVEL]   (default build/kavel; RUNS=3, OUT=folder may be set)
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
KAVEL=${1:-$ROOT/build/kavel}
RUNS=${RUNS:-3}
OUT=${OUT:-$(mktemp -d /tmp/kavel-html-table-XXXXXX)}
CHROMIUM=${KAVEL_BROWSER:-/usr/lib/chromium/chromium}
export FONTCONFIG_FILE=${FONTCONFIG_FILE:-$ROOT/data/fonts.conf}
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
mkdir -p "$OUT"
[ -x "$KAVEL" ] || { echo "missing $KAVEL (ninja -C build kavel)" >&2; exit 1; }

python3 bench/gen_html.py table "$OUT/table.html" "$OUT/table.js"

# measure NAME PDF SAMPLED COMMAND...: one fresh run; appends "seconds maxrss_kib tree_kib
# cpu_seconds own_pss_kib own_rss_kib sampled" to NAME.txt (CPU: user + system of the command
# and the processes it waited for; own: the peaks of the command's own process, without the
# browser it started). A sampled run also reads the memory of the process tree every 20 ms;
# the reading competes with the command for the processors and the processes' memory maps,
# so only the other runs are timed.
measure() {
    local name=$1 pdf=$2 sampled=$3; shift 3
    rm -f "$pdf"
    if [ "$sampled" = 0 ]; then
        /usr/bin/time -v -o "$OUT/$name.time" "$@" >/dev/null 2>&1
        echo "0 0 0" > "$OUT/$name.tree"
    else
    python3 - "$OUT/$name.tree" /usr/bin/time -v -o "$OUT/$name.time" "$@" <<'PY'
import os, re, subprocess, sys, time
# Runs the command and samples the proportional set size of it and all its descendants.
out, command = sys.argv[1], sys.argv[2:]
start = time.monotonic()
child = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
peak = 0
def tree_pss(root):
    parents = {}
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open("/proc/%s/stat" % pid) as f:
                parents[int(pid)] = int(f.read().rsplit(")", 1)[1].split()[1])
        except (OSError, IndexError, ValueError):
            pass
    members, grew = {root}, True
    while grew:
        grew = False
        for pid, parent in parents.items():
            if parent in members and pid not in members:
                members.add(pid); grew = True
    # The command runs under /usr/bin/time: its own process is time's child.
    command_pids = {pid for pid, parent in parents.items() if parent == root}
    total = own = 0
    kinds = {}
    for pid in members:
        try:
            with open("/proc/%d/smaps_rollup" % pid) as f:
                pss = next(int(l.split()[1]) for l in f if l.startswith("Pss:"))
        except (OSError, StopIteration):
            continue
        total += pss
        kind = process_kind(pid, pid in command_pids)
        kinds[kind] = kinds.get(kind, 0) + pss
        if pid in command_pids:
            own = pss
            try:  # the high-water mark of its resident set, kept by the kernel
                with open("/proc/%d/status" % pid) as f:
                    own_hwm[0] = max(own_hwm[0], next(int(l.split()[1]) for l in f if l.startswith("VmHWM:")))
            except (OSError, StopIteration):
                pass
    return total, own, kinds
def process_kind(pid, command):
    # The browser's helpers name their kind in their arguments; its main process does not.
    if command:
        return "the command"
    # (The browser rewrites its helpers' titles: the arguments may be one string.)
    try:
        with open("/proc/%d/cmdline" % pid, "rb") as f:
            title = f.read().decode(errors="replace").replace("\0", " ")
    except OSError:
        return "other"
    kind = re.search(r"--type=(\S+)", title)
    sub = re.search(r"--utility-sub-type=(\w+)", title)
    return (kind.group(1) if kind else "browser") + (" " + sub.group(1) if sub else "")
own_peak, own_hwm, split = 0, [0], {}
while child.poll() is None:
    total, own, kinds = tree_pss(child.pid)
    if total > peak:
        peak, split = total, kinds
    own_peak = max(own_peak, own)
    time.sleep(0.02)
with open(out, "w") as f:
    f.write("%d %d %d %.3f\n" % (peak, own_peak, own_hwm[0], time.monotonic() - start))
with open(out + ".split", "w") as f:
    f.write(", ".join("%s %d" % (kind, kib // 1024)
                      for kind, kib in sorted(split.items(), key=lambda item: -item[1])
                      if kib >= 1024))
sys.exit(child.returncode)
PY
    fi
    [ -s "$pdf" ] || { echo "$name wrote no PDF" >&2; exit 1; }
    local wall rss tree cpu own hwm
    wall=$(awk -F': ' '/Elapsed \(wall clock\)/ {n = split($2, t, ":"); s = 0; for (i = 1; i <= n; i++) s = s * 60 + t[i]; print s}' "$OUT/$name.time")
    rss=$(awk -F': ' '/Maximum resident set size/ {print $2}' "$OUT/$name.time")
    read -r tree own hwm _ < "$OUT/$name.tree"
    cpu=$(awk -F': ' '/(User|System) time/ {s += $2} END {print s}' "$OUT/$name.time")
    echo "$wall $rss $tree $cpu $own $hwm $sampled" >> "$OUT/$name.txt"
    # The split over the processes of the sampled run whose tree peaked highest.
    if [ "$sampled" = 1 ] && [ "$tree" -ge "$(cat "$OUT/$name.most" 2>/dev/null || echo 0)" ]; then
        echo "$tree" > "$OUT/$name.most"
        cp "$OUT/$name.tree.split" "$OUT/$name.split"
    fi
}

# RUNS timed runs of each, one after the other, then one sampled run of each for memory.
for i in $(seq 0 "$RUNS"); do
    sampled=$([ "$i" = 0 ] && echo 1 || echo 0)
    echo "== run $i of $RUNS$([ "$i" = 0 ] && echo " (memory)")" >&2
    measure kavel "$OUT/kavel.pdf" "$sampled" "$KAVEL" run "$OUT/table.js" --pdf "$OUT/kavel.pdf" \
        --settings "$OUT/settings"
    measure chromium "$OUT/chromium.pdf" "$sampled" "$CHROMIUM" --headless --no-sandbox \
        --disable-gpu --no-pdf-header-footer --print-to-pdf="$OUT/chromium.pdf" \
        "file://$OUT/table.html"
done

# The floor under any HTML item: a task whose one item is two words, three sampled runs
# (a run this short can end between two samples of its peak).
printf '%s\n' 'KAVEL.PRINT_INIT("two words");' \
    'KAVEL.ADD_PRINT_HTM(40, 40, 700, 300, "<p>two <b>words</b></p>");' > "$OUT/small.js"
for i in 1 2 3; do
    measure small "$OUT/small.pdf" 1 "$KAVEL" run "$OUT/small.js" --pdf "$OUT/small.pdf" \
        --settings "$OUT/settings"
done

median() { sort -n | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }
timed() { awk '$7 == 0' "$OUT/$1.txt" | cut -d' ' -f"$2"; }  # timed NAME FIELD
report() {  # report NAME PDF
    printf "%-9s %6.2f s (runs: %s)  CPU %5.2f s  %4d pages  peak memory: largest process (RSS) %4d MiB, own process %4d MiB RSS / %4d MiB PSS, process tree (PSS) %4d MiB\n" "$1" \
        "$(timed "$1" 1 | median)" "$(timed "$1" 1 | xargs | tr ' ' ,)" \
        "$(timed "$1" 4 | median)" \
        "$(pdfinfo "$2" | awk '/^Pages:/ {print $2}')" \
        "$(( $(cut -d' ' -f2 "$OUT/$1.txt" | sort -n | tail -1) / 1024 ))" \
        "$(( $(cut -d' ' -f6 "$OUT/$1.txt" | sort -n | tail -1) / 1024 ))" \
        "$(( $(cut -d' ' -f5 "$OUT/$1.txt" | sort -n | tail -1) / 1024 ))" \
        "$(( $(cut -d' ' -f3 "$OUT/$1.txt" | sort -n | tail -1) / 1024 ))"
    echo "          the process tree at its peak, by process (MiB): $(cat "$OUT/$1.split")"
}
echo "2,000 x 5 table with head and foot, whole command, cold (median of $RUNS; memory: the most of any run)"
report kavel "$OUT/kavel.pdf"
report chromium "$OUT/chromium.pdf"
# The host's speed drifts within minutes: the two runs of one round, made one right after
# the other, compare more fairly than the two medians.
paste -d' ' <(timed chromium 1) <(timed kavel 1) | awk '{print $1 / $2}' | median |
    xargs printf "Chromium's time over kavel's, median of the rounds: %.1fx\n"
echo "a two-word HTML item, for the floor under any: process tree (PSS) $(( $(cat "$OUT/small.most") / 1024 )) MiB; by process (MiB): $(cat "$OUT/small.split")"
echo "targets for kavel: under 1.5 s, under 300 MB. Files in $OUT"
