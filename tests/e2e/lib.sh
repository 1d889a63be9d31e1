# Shared by the whole-run tests: the program, a scratch folder, checks that say what failed.
set -euo pipefail
KAVEL=${1:?usage: $0 PATH/TO/kavel}
HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
SRC=$(cd "$HERE/../.." && pwd)
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$WORK/run}
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
PASSED=0

fail() { echo "FAIL: $*" >&2; exit 1; }
pass() { PASSED=$((PASSED + 1)); echo "ok - $*"; }
# Runs kavel with a settings folder of its own; stdout+stderr into $WORK/out.txt.
run() { "$KAVEL" run "$@" --settings "$WORK/settings" >"$WORK/out.txt" 2>&1; }
expect_status() {
    local want=$1; shift
    set +e; run "$@"; local got=$?; set -e
    [ "$got" = "$want" ] || { cat "$WORK/out.txt" >&2; fail "kavel run $* exited $got, wanted $want"; }
}
pages_of() { pdfinfo "$1" | awk '/^Pages:/ {print $2}'; }
