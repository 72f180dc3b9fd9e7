#!/usr/bin/env bash
# A bench of tools: four simulated QV120 tools paced at 115200 baud, one
# 256 KiB image each, updated at once with varnok-cli update --all, against
# the same update of one tool alone. Prints the wall times, their ratio
# (target: at most 1.1) and varnok-cli's CPU time as a share of its wall
# time (target: at most 5% in total for the four runs).
#
#   bench/cli_update_all.sh [BUILD_DIR] [TOOLS]   (defaults: build, 4)
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${1:-${BUILD_DIR:-build}}
tools=${2:-4}
if [ ! -x "$BUILD_DIR/bin/varnok-cli" ] || [ ! -x "$BUILD_DIR/bin/varnok-toolsim" ]; then
  cmake -G Ninja -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$BUILD_DIR" --target varnok-cli varnok-toolsim
fi
root=$PWD
. scripts/build-dir.sh
bin=$(varnok_build_dir "$BUILD_DIR")/bin
size=$((256 * 1024))
work=$(mktemp -d /tmp/varnok-bench-all.XXXXXX)
sims=()
stop_sims() {
  local pid
  for pid in "${sims[@]}"; do kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; done
  sims=()
}
trap 'stop_sims; rm -rf "$work"' EXIT
export VARNOK_DEV_DIR=$work/dev XDG_STATE_HOME=$work/state
mkdir -p "$VARNOK_DEV_DIR"

head -c "$size" /dev/urandom > "$work/image.raw"
{ printf '\256\251\316\315\317'; cat "$work/image.raw"; } > "$work/fw.bin"   # ~"QV120" header

start_sims() {  # start_sims N
  local k
  for k in $(seq 0 $(($1 - 1))); do
    rm -f "$work/ready$k"
    "$bin/varnok-toolsim" --class classic --name QV120 --port "ttyACM$k" \
      --dev-dir "$VARNOK_DEV_DIR" --pace 115200 --ready-file "$work/ready$k" &
    sims+=($!)
  done
  for k in $(seq 0 $(($1 - 1))); do
    for _ in $(seq 250); do [ -s "$work/ready$k" ] && break; sleep 0.02; done
  done
}

run() {  # run N ARGS...: prints "wall user sys" of varnok-cli
  local n=$1; shift
  start_sims "$n"
  /usr/bin/time -f '%e %U %S' -o "$work/time.txt" \
    "$bin/varnok-cli" --config "$bin/device.xml" update --model QV120 "$@" "$work/fw.bin" \
    > "$work/cli.out" 2> "$work/cli.err" || { echo "varnok-cli failed:" >&2; cat "$work/cli.err" >&2; exit 1; }
  stop_sims
  cat "$work/time.txt"
}

read -r one_wall one_user one_sys < <(run 1)
read -r all_wall all_user all_sys < <(run "$tools" --all)
awk -v n="$tools" -v ow="$one_wall" -v ou="$one_user" -v os="$one_sys" \
    -v aw="$all_wall" -v au="$all_user" -v as="$all_sys" 'BEGIN {
  printf "one tool alone:        wall %6.2f s   cpu %5.2f s (%4.1f%% of wall)\n", ow, ou + os, 100 * (ou + os) / ow
  printf "%d tools with --all:    wall %6.2f s   cpu %5.2f s (%4.1f%% of wall)\n", n, aw, au + as, 100 * (au + as) / aw
  printf "wall ratio all/one:    %.3f  (target <= 1.1)\n", aw / ow
  printf "cpu share with --all:  %.1f%%  (target <= 5%%)\n", 100 * (au + as) / aw
}'
