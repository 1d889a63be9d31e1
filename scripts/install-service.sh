#!/bin/bash
# Installs the Kavel print service for the current user: the program into ~/.local/bin and
# a systemd user unit that starts `kavel serve` with the desktop session (started now);
# where systemd's user manager is not there, an XDG autostart entry instead (started at the
# next login).
#   scripts/install-service.sh [--kavel PATH] [--allow ORIGIN]... [--port N]
#   scripts/install-service.sh --uninstall
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
kavel_src="$root/build/kavel"
bin="${XDG_BIN_HOME:-$HOME/.local/bin}"
config="${XDG_CONFIG_HOME:-$HOME/.config}"
unit="$config/systemd/user/kavel.service"
autostart="$config/autostart/kavel-serve.desktop"
args=()
port=17117
uninstall=0
while [ $# -gt 0 ]; do
  case "$1" in
    --kavel) kavel_src="$2"; shift 2 ;;
    --allow) args+=("$1" "$2"); shift 2 ;;
    --port) args+=("$1" "$2"); port="$2"; shift 2 ;;
    --uninstall) uninstall=1; shift ;;
    *) echo "install-service.sh: unknown option $1" >&2; exit 2 ;;
  esac
done

have_systemd() { command -v systemctl >/dev/null && systemctl --user show-environment >/dev/null 2>&1; }

if [ "$uninstall" = 1 ]; then
  if [ -f "$unit" ] && have_systemd; then systemctl --user disable --now kavel.service || true; fi
  rm -f "$unit" "$autostart"
  have_systemd && systemctl --user daemon-reload || true
  echo "the print service is no longer started; $bin/kavel stays"
  exit 0
fi

[ -x "$kavel_src" ] || { echo "no kavel program at $kavel_src: build first (scripts/build.sh)" >&2; exit 1; }
mkdir -p "$bin"
install -m 0755 "$kavel_src" "$bin/kavel"
# The origins are checked by the service itself; here they are only quoted for the unit.
quoted=""
for a in "${args[@]}"; do quoted+=" $(printf '%q' "$a")"; done
fill() { sed -e "s|@KAVEL@|$bin/kavel|" -e "s|@ARGS@|${quoted# }|" "$1" > "$2"; }

if have_systemd; then
  mkdir -p "$(dirname "$unit")"
  fill "$root/data/service/kavel.service" "$unit"
  rm -f "$autostart"
  systemctl --user daemon-reload
  systemctl --user enable --now kavel.service
  echo "installed $unit and started it: systemctl --user status kavel"
else
  mkdir -p "$(dirname "$autostart")"
  fill "$root/data/service/kavel-serve.desktop" "$autostart"
  echo "installed $autostart: the service starts at the next login (or run: $bin/kavel serve)"
fi
echo "status page: http://127.0.0.1:$port/"
