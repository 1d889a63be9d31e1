#!/bin/bash
# Builds the Release tree and measures Kavel against a browser's print-to-PDF on the same
# content, in one run on this machine:
#   - the 10,000-line text task and the invoice, each as a whole command: `kavel run` on
#     bench/*.js against `chromium --headless --print-to-pdf` on bench/gen_html.py's HTML,
#     median of RUNS runs (wall time, start-up included, nothing excluded);
#   - the Google Benchmark program kavel_bench (composition and PDF output in-process);
#   - kavel_bench_mem: peak memory of the text task at 100 and 1,000 pages, and of one
#     repeated page at 100 and 1,000 pages, each in a fresh process.
# Prints a table with the ratios and the targets; the PDFs and raw numbers stay in the
# result folder it names.
#
# Usage: bench/run.sh [--skip-build]   (RUNS=3, BUILD_DIR=build-e, OUT=folder may be set)
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
KAVEL=$ROOT/$BUILD_DIR/kavel
for program in "$KAVEL" "$ROOT/$BUILD_DIR/bench/kavel_bench" "$ROOT/$BUILD_DIR/bench/kavel_bench_mem"; do
  [ -x "$program" ] || { echo "missing $program (is libbenchmark-dev installed?)" >&2; exit 1; }
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

kavel_pdf() {  # SCRIPT PDF
  "$KAVEL" run "$1" --pdf "$2"
}

pages() { pdfinfo "$1" | awk '/^Pages:/ {print $2}'; }

declare -A TIME PAGES
for task in text10000 invoice; do
  log "timing $task ($RUNS runs each)"
  chromium_times=() kavel_times=()
  for ((run = 1; run <= RUNS; run++)); do
    chromium_times+=("$(wall chromium_pdf "$OUT/$task.html" "$OUT/$task-chromium.pdf")")
    script=bench/$task.js
    [ "$task" = invoice ] && script=examples/invoice.js
    kavel_times+=("$(wall kavel_pdf "$script" "$OUT/$task-kavel.pdf")")
  done
  echo "$task chromium ${chromium_times[*]}" >>"$OUT/times.txt"
  echo "$task kavel ${kavel_times[*]}" >>"$OUT/times.txt"
  TIME[$task-chromium]=$(median "${chromium_times[@]}")
  TIME[$task-kavel]=$(median "${kavel_times[@]}")
  PAGES[$task-chromium]=$(pages "$OUT/$task-chromium.pdf")
  PAGES[$task-kavel]=$(pages "$OUT/$task-kavel.pdf")
done

log "running kavel_bench"
"$ROOT/$BUILD_DIR/bench/kavel_bench" --benchmark_out="$OUT/kavel_bench.json" \
  --benchmark_out_format=json >"$OUT/kavel_bench.txt" 2>"$OUT/kavel_bench.err"

log "measuring peak memory"
for task in text repeat; do
  for n in 100 1000; do
    "$ROOT/$BUILD_DIR/bench/kavel_bench_mem" --task "$task" --pages "$n" \
      --pdf "$OUT/mem-$task-$n.pdf" >"$OUT/mem-$task-$n.txt" 2>/dev/null
  done
done

python3 - "$OUT" "$(nproc)" "$("$CHROMIUM" --version 2>/dev/null | head -1)" \
  "${TIME[text10000-chromium]}" "${TIME[text10000-kavel]}" "${PAGES[text10000-chromium]}" \
  "${PAGES[text10000-kavel]}" "${TIME[invoice-chromium]}" "${TIME[invoice-kavel]}" \
  "${PAGES[invoice-chromium]}" "${PAGES[invoice-kavel]}" <<'EOF'
import json, sys
out, cores, chromium = sys.argv[1:4]
t_chr, t_kav, p_chr, p_kav, i_chr, i_kav, ip_chr, ip_kav = sys.argv[4:12]

def mem(task, n):
    values = dict(line.split() for line in open(f"{out}/mem-{task}-{n}.txt") if line.strip())
    return int(values["peak_rss_kib"]), int(values["pages"])

bench = {b["name"].split("/")[0]: b for b in json.load(open(f"{out}/kavel_bench.json"))["benchmarks"]}

def yes(ok):
    return "met" if ok else "MISSED"

rows = []
ratio = float(t_chr) / float(t_kav)
rows.append(("10,000 lines to PDF, whole command", f"{t_chr} s ({p_chr} p)", f"{t_kav} s ({p_kav} p)",
             f"{ratio:.1f}x", ">= 10x", yes(ratio >= 10)))
ratio_i = float(i_chr) / float(i_kav)
rows.append(("invoice to PDF, whole command", f"{i_chr} s ({ip_chr} p)", f"{i_kav} s ({ip_kav} p)",
             f"{ratio_i:.1f}x", "", ""))
print(f"\nKavel benchmarks, {cores} cores, {chromium}; results in {out}\n")
print(f"{'task':40} {'Chromium':>16} {'Kavel':>16} {'ratio':>7}  {'target':>8}  ")
for r in rows:
    print(f"{r[0]:40} {r[1]:>16} {r[2]:>16} {r[3]:>7}  {r[4]:>8}  {r[5]}")

print(f"\n{'in-process (kavel_bench)':40} {'time':>10} {'pages/s':>9} {'peak RSS':>10}  target")
targets = {"BM_Invoice": ("< 50 ms", lambda ms: ms < 50)}
for name, b in bench.items():
    if b.get("error_occurred"):
        print(f"{name:40} error: {b.get('error_message')}")
        continue
    ms = b["real_time"]
    target, check = targets.get(name, ("", None))
    verdict = yes(check(ms)) if check else ""
    print(f"{name:40} {ms:8.1f} ms {b['pages_per_s']:9.0f} {b['peak_rss_MiB']:7.1f} MiB  {target} {verdict}")

print(f"\n{'peak memory, fresh process':40} {'100 pages':>12} {'1,000 pages':>12} {'growth':>8}  target")
for task, label in (("text", "text task (content grows with pages)"),
                    ("repeat", "one page repeated (only pages grow)")):
    (a, pa), (b, pb) = mem(task, 100), mem(task, 1000)
    growth = (b - a) / a * 100
    target = "< 10 %" if task == "text" else ""
    verdict = yes(growth < 10) if task == "text" else ""
    print(f"{label:40} {a/1024:8.1f} MiB {b/1024:8.1f} MiB {growth:7.1f} %  {target} {verdict}"
          + ("" if (pa, pb) == (100, 1000) else f"  (pages {pa}, {pb})"))
EOF
