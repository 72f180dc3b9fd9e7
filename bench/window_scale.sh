#!/usr/bin/env bash
# The window on scaled screens: from the start of varnok to its window
# shown on an X server (Xvfb), and the program's resident memory once the
# first page is drawn, at display scales 1, 1.5 and 2 (QT_SCALE_FACTOR).
# Each figure is the median of RUNS starts (default 7).
#
#   bench/window_scale.sh [BUILD_DIR]      (default: build)
#
# Goals: at scale 1.5 and 2 at most 1.2 times the time and 1.5 times the
# memory of scale 1.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${1:-${BUILD_DIR:-build}}
case $BUILD_DIR in /*) bin=$BUILD_DIR/bin ;; *) bin=$PWD/$BUILD_DIR/bin ;; esac
runs=${RUNS:-7}
work=$(mktemp -d /tmp/varnok-bench-scale.XXXXXX)
xvfb=
trap '[ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT

exec {fd}<> <(:)
Xvfb -displayfd "$fd" -screen 0 2048x1536x24 -nolisten tcp -noreset >"$work/xvfb.log" 2>&1 &
xvfb=$!
read -r -t 30 -u "$fd" display
export DISPLAY=:$display VARNOK_DEV_DIR=$work/dev TMPDIR=$work
unset QT_QPA_PLATFORM
mkdir -p "$VARNOK_DEV_DIR"

median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

# One start: prints "MILLISECONDS KIB".
start_once() {
  local scale=$1 started pid shown rss
  started=$(date +%s%N)
  QT_SCALE_FACTOR=$scale "$bin/varnok" >"$work/varnok.log" 2>&1 &
  pid=$!
  until xdotool search --onlyvisible --name '^Dennart2$' >/dev/null 2>&1; do
    kill -0 "$pid" 2>/dev/null || { echo "varnok ended at scale $scale" >&2; exit 1; }
    sleep 0.005
  done
  shown=$(( ($(date +%s%N) - started) / 1000000 ))
  sleep 1  # the first page and the indicator drawn
  rss=$(awk '/^VmRSS/ {print $2}' "/proc/$pid/status")
  kill "$pid"; wait "$pid" 2>/dev/null || true
  echo "$shown $rss"
}

printf '%-6s %12s %12s\n' scale "shown (ms)" "RSS (KiB)"
base_ms= base_kib=
for scale in 1 1.5 2; do
  : >"$work/runs"
  for _ in $(seq "$runs"); do start_once "$scale" >>"$work/runs"; done
  ms=$(cut -d' ' -f1 "$work/runs" | median)
  kib=$(cut -d' ' -f2 "$work/runs" | median)
  [ -z "$base_ms" ] && base_ms=$ms base_kib=$kib
  printf '%-6s %12s %12s   (%s x time, %s x memory)\n' "$scale" "$ms" "$kib" \
    "$(awk -v a="$ms" -v b="$base_ms" 'BEGIN {printf "%.2f", a / b}')" \
    "$(awk -v a="$kib" -v b="$base_kib" 'BEGIN {printf "%.2f", a / b}')"
done
