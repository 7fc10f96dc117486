#!/usr/bin/env bash
# Soak: plays the whole show, 0 to 204 s, twice in a row under a virtual
# display with SDL's dummy audio, and reports the resident memory of each play
# shortly after loading and near its end. Fails on an error, an exit status
# other than 0, or memory that is not flat (a play that grows by more than
# SOAK_GROWTH_MB, or a second play that ends higher than the first by more).
# Takes about seven minutes; not part of the test command.
# Usage: tests/soak.sh [path/to/ruvo]   (default build/ruvo; data/ beside it)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
ruvo=$(realpath "${1:-$here/build/ruvo}")
growthLimitMb=${SOAK_GROWTH_MB:-16}

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24 -noreset" "$0" "$ruvo"
fi
export SDL_AUDIODRIVER=dummy RUVO_NO_DIALOG=1

work=$(mktemp -d /tmp/ruvo-soak-XXXXXX)
trap 'rm -rf "$work"' EXIT
cp -r "$(dirname "$ruvo")/data" "$work/data"

rss_kb() { awk '/^VmRSS:/ {print $2}' "/proc/$1/status" 2>/dev/null || true; }

# One play from 0; sets EARLY_KB (about 20 s in) and LATE_KB (the last
# sample, taken every half second, so within a second of the end).
play() {
  local pid start now sample
  (cd "$work" && exec "$ruvo" >"$work/stdout" 2>"$work/stderr") &
  pid=$!
  start=$(date +%s)
  EARLY_KB=0 LATE_KB=0
  while kill -0 "$pid" 2>/dev/null; do
    sample=$(rss_kb "$pid")
    now=$(date +%s)
    if [ -n "$sample" ]; then
      LATE_KB=$sample
      [ "$EARLY_KB" -eq 0 ] && [ $((now - start)) -ge 20 ] && EARLY_KB=$sample
    fi
    [ $((now - start)) -gt 300 ] && { kill -9 "$pid"; echo "FAIL: play $1 did not end" >&2; exit 1; }
    sleep 0.5
  done
  local status=0
  wait "$pid" || status=$?
  local seconds=$(( $(date +%s) - start ))
  if [ "$status" -ne 0 ] || [ -s "$work/stderr" ]; then
    echo "FAIL: play $1 ended with status $status after ${seconds}s" >&2
    cat "$work/stderr" >&2
    exit 1
  fi
  [ "$seconds" -ge 200 ] || { echo "FAIL: play $1 took only ${seconds}s" >&2; exit 1; }
  echo "play $1: ${seconds}s, resident ${EARLY_KB} kB at 20 s, ${LATE_KB} kB at the end"
}

play 1
first_late=$LATE_KB
play 2
limit=$((growthLimitMb * 1024))
[ $((LATE_KB - first_late)) -le "$limit" ] || { echo "FAIL: play 2 ended $((LATE_KB - first_late)) kB above play 1" >&2; exit 1; }
echo "resident memory flat: play 1 ends at ${first_late} kB, play 2 at ${LATE_KB} kB"
