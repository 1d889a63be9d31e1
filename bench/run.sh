#!/bin/bash
# Builds the Release tree and measures Kavel against a browser's print-to-PDF on the same
# content, in one run on this machine:
#   - the 10,000-line text task and the invoice, each as a whole command: `kavel run` on
#     bench/*.js against `chromium --headless --print-to-pdf` on bench/gen_html.py's HTML,
#     median of RUNS runs (wall time, start-up included, nothing excluded);
#   - the Google Benchmark program kavel_bench (composition and PDF output in-process);
#   - kavel_bench_mem: peak memory of the text task at 100 and 1,000 pages, of one
#     repeated page at 100 and 1,000 pages, and of one text item on each of 2,000 pages
#     (the page limit), each in a fresh process.
# Prints a table with the ratios and the targets; the PDFs and raw numbers stay in the
# result folder it names. With BEFORE=DIR (a folder holding kavel, kavel_bench and
# kavel_bench_mem of another build), the same is measured with those programs in the same
# run, interleaved, and shown beside.
#
# Usage: bench/run.sh [--skip-build]   (RUNS=3, BUILD_DIR=build-e, OUT=folder, BEFORE=DIR)
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
BUILD_DIR=${BUILD_DIR:-build-e}
RUNS=${RUNS:-3}
OUT=${OUT:-$(mktemp -d /tmp/kavel-bench-XXXXXX)}
mkdir -p "$OUT"

log() { echo "== $*" >&2; }

if [ "${1:-}" != "--skip-build" ]; then
  log "building $BUILD_DIR (Release)"
  cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKAVEL_BENCH=ON >/dev/null
  ninja -C "$BUILD_DIR" -j2 kavel kavel_bench kavel_bench_mem >&2
fi
declare -A BIN
BIN[now]=$ROOT/$BUILD_DIR
VARIANTS=(now)
if [ -n "${BEFORE:-}" ]; then
  BIN[before]=$(cd "$BEFORE" && pwd)
  VARIANTS+=(before)
fi
for v in "${VARIANTS[@]}"; do
  dir=${BIN[$v]}
  [ "$v" = now ] && bench=$dir/bench || bench=$dir
  for program in "$dir/kavel" "$bench/kavel_bench" "$bench/kavel_bench_mem"; do
    [ -x "$program" ] || { echo "missing $program (is libbenchmark-dev installed?)" >&2; exit 1; }
  done
  BIN[$v-bench]=$bench
done

CHROMIUM=/usr/lib/chromium/chromium
if [ ! -x "$CHROMIUM" ]; then
  log "installing chromium"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update >&2
  apt-get install -y --no-install-recommends chromium >&2
fi
command -v pdfinfo >/dev/null || { echo "pdfinfo missing (poppler-utils)" >&2; exit 1; }

log "generating the HTML"
python3 bench/gen_html.py pre "$OUT/text10000.html" 10000
python3 bench/gen_html.py invoice "$OUT/invoice.html"

# Wall seconds of one command; its output goes to $OUT/last.log.
wall() {
  local start end
  start=$EPOCHREALTIME
  "$@" >"$OUT/last.log" 2>&1 || { cat "$OUT/last.log" >&2; echo "failed: $*" >&2; exit 1; }
  end=$EPOCHREALTIME
  python3 -c "print(f'{$end - $start:.3f}')"
}

median() { printf '%s\n' "$@" | sort -g | sed -n "$(( ($# + 1) / 2 ))p"; }

chromium_pdf() {  # HTML PDF
  local profile
  profile=$(mktemp -d "$OUT/profile-XXXXXX")
  # Both programs read the project's fontconfig file, so the same fonts are chosen.
  FONTCONFIG_FILE=$ROOT/data/fonts.conf "$CHROMIUM" --headless --no-sandbox --disable-gpu \
    --disable-quic --no-first-run --disable-background-networking --disable-component-update \
    --disable-sync --user-data-dir="$profile" --no-pdf-header-footer --print-to-pdf="$2" \
    "file://$1"
  rm -rf "$profile"
}

kavel_pdf() {  # PROGRAM SCRIPT PDF
  "$1" run "$2" --pdf "$3"
}

pages() { pdfinfo "$1" | awk '/^Pages:/ {print $2}'; }

for task in text10000 invoice; do
  log "timing $task ($RUNS runs each)"
  for ((run = 1; run <= RUNS; run++)); do
    echo "$task chromium $(wall chromium_pdf "$OUT/$task.html" "$OUT/$task-chromium.pdf")" >>"$OUT/times.txt"
    script=bench/$task.js
    [ "$task" = invoice ] && script=examples/invoice.js
    for v in "${VARIANTS[@]}"; do
      echo "$task $v $(wall kavel_pdf "${BIN[$v]}/kavel" "$script" "$OUT/$task-$v.pdf")" >>"$OUT/times.txt"
    done
  done
done

for v in "${VARIANTS[@]}"; do
  log "running kavel_bench ($v)"
  "${BIN[$v-bench]}/kavel_bench" --benchmark_out="$OUT/kavel_bench-$v.json" \
    --benchmark_out_format=json >"$OUT/kavel_bench-$v.txt" 2>"$OUT/kavel_bench-$v.err"
  log "measuring peak memory ($v)"
  for measure in text:100 text:1000 repeat:100 repeat:1000 perpage:2000; do
    task=${measure%:*} n=${measure#*:}
    "${BIN[$v-bench]}/kavel_bench_mem" --task "$task" --pages "$n" \
      --pdf "$OUT/mem-$v-$task-$n.pdf" >"$OUT/mem-$v-$task-$n.txt" 2>/dev/null || : >"$OUT/mem-$v-$task-$n.txt"
  done
done

python3 - "$OUT" "$(nproc)" "$("$CHROMIUM" --version 2>/dev/null | head -1)" "${VARIANTS[@]}" <<'EOF2'
import json, os, statistics, sys
out, cores, chromium = sys.argv[1:4]
variants = sys.argv[4:]

times = {}
for line in open(f"{out}/times.txt"):
    task, who, t = line.split()
    times.setdefault((task, who), []).append(float(t))
med = lambda task, who: statistics.median(times[(task, who)])

def pages(pdf):
    info = os.popen(f"pdfinfo '{pdf}' 2>/dev/null").read()
    return next((l.split()[1] for l in info.splitlines() if l.startswith("Pages:")), "?")

def mem(v, task, n):
    try:
        values = dict(line.split() for line in open(f"{out}/mem-{v}-{task}-{n}.txt") if line.strip())
        return int(values["peak_rss_kib"]) / 1024, int(values["pages"])
    except (OSError, KeyError, ValueError):
        return None, None

def bench(v):
    try:
        data = json.load(open(f"{out}/kavel_bench-{v}.json"))["benchmarks"]
    except (OSError, ValueError):
        return {}
    return {b["name"].replace("/real_time", ""): b for b in data}

def yes(ok):
    return "met" if ok else "MISSED"

print(f"\nKavel benchmarks, {cores} cores, {chromium}; results in {out}\n")
for v in variants:
    print(f"== {v}")
    c, k = med("text10000", "chromium"), med("text10000", v)
    size = os.path.getsize(f"{out}/text10000-{v}.pdf") / 1024
    print(f"10,000 lines, whole command: Chromium {c:.3f} s ({pages(f'{out}/text10000-chromium.pdf')} p), "
          f"Kavel {k:.3f} s ({pages(f'{out}/text10000-{v}.pdf')} p, {size:.0f} KiB): {c / k:.1f}x  "
          f"[<= 0.15 s {yes(k <= 0.15)}, >= 20x {yes(c / k >= 20)}, PDF <= 200 KB {yes(size * 1024 <= 200000)}]")
    c, k = med("invoice", "chromium"), med("invoice", v)
    print(f"invoice, whole command: Chromium {c:.3f} s, Kavel {k:.3f} s: {c / k:.1f}x")
    b = bench(v)
    targets = {"BM_Invoice": (5, "<= 5 ms"), "BM_Text10000Lines": (40, "<= 40 ms")}
    for name, r in b.items():
        if r.get("error_occurred"):
            print(f"  {name:32} error: {r.get('error_message')}")
            continue
        limit, label = targets.get(name, (None, ""))
        verdict = f"[{label} {yes(r['real_time'] <= limit)}]" if limit else ""
        print(f"  {name:32} {r['real_time']:9.1f} ms {r['pages_per_s']:8.0f} pages/s "
              f"{r['peak_rss_MiB']:7.1f} MiB  {verdict}")
    if "BM_TextPerPage/100" in b and "BM_TextPerPage/1000" in b:
        ratio = b["BM_TextPerPage/1000"]["real_time"] / b["BM_TextPerPage/100"]["real_time"]
        print(f"  one text per page, 1,000 / 100 pages: {ratio:.1f}x  [<= 10x {yes(ratio <= 10)}]")
    for task, label in (("text", "text task"), ("repeat", "one page repeated")):
        (a, _), (z, _) = mem(v, task, 100), mem(v, task, 1000)
        if a and z:
            print(f"  peak memory, {label}: {a:.1f} MiB at 100 pages, {z:.1f} MiB at 1,000 (+{(z - a) / a * 100:.1f} %)")
    m, p = mem(v, "perpage", 2000)
    if m:
        print(f"  peak memory, one text item on each of {p} pages: {m:.1f} MiB  [<= 100 MB {yes(m * 1048576 <= 100e6)}]")
EOF2
