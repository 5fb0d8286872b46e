#!/usr/bin/env bash
# Stops the wineserver of PREFIX and of every prefix in SUITES_DIR (the test
# suites' own copies), if one runs, and waits for it. Also ends the display
# processes a suite recorded in <prefix>.display.pids, which remain only
# when the suite itself was killed.
#   wine_stop.sh PREFIX [SUITES_DIR]
prefix=${1:?usage: wine_stop.sh PREFIX [SUITES_DIR]}
prefixes=("$prefix")
if [ -n "${2:-}" ] && [ -d "$2" ]; then
  for suite in "$2"/*; do
    [ -d "$suite" ] && prefixes+=("$suite")
  done
fi
for p in "${prefixes[@]}"; do
  if [ -d "$p" ]; then
    WINEPREFIX="$p" timeout 30 wineserver -k >/dev/null 2>&1
    WINEPREFIX="$p" timeout 30 wineserver -w >/dev/null 2>&1
  fi
  if [ -f "$p.display.pids" ]; then
    while read -r pid; do
      case $(cat "/proc/$pid/comm" 2>/dev/null) in
        Xvfb|xcompmgr) kill "$pid" 2>/dev/null ;;
      esac
    done <"$p.display.pids"
    rm -f "$p.display.pids"
  fi
done
exit 0
