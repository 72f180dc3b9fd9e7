#!/usr/bin/env bash
# Whole updates through varnok-cli against the tool simulator: one 256 KiB
# image per tool class, with the line paced at 115200 baud and unpaced.
# For each run: wall time, the block loop's share of the line rate (the
# bytes the protocol puts on the wire in both directions over the loop's
# time), the whole update's share (the workflow's fixed pauses included),
# the updater's CPU share and peak memory (/usr/bin/time -v when present,
# else getrusage through python3).
#
#   bench/cli_update.sh [BUILD_DIR]      (default: build; builds the two programs)
#
# Targets: paced loop share >= 97%, CPU <= 5%, peak memory < 3 x image + 10 MiB.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${1:-${BUILD_DIR:-build}}
if [ ! -x "$BUILD_DIR/bin/varnok-cli" ] || [ ! -x "$BUILD_DIR/bin/varnok-toolsim" ]; then
  cmake -G Ninja -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$BUILD_DIR" --target varnok-cli varnok-toolsim
fi
root=$PWD
. scripts/build-dir.sh
bin=$(varnok_build_dir "$BUILD_DIR")/bin
size=$((256 * 1024))
work=$(mktemp -d /tmp/varnok-bench.XXXXXX)
sim_pid=
trap '[ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null; rm -rf "$work"' EXIT
export VARNOK_DEV_DIR=$work/dev
mkdir -p "$VARNOK_DEV_DIR"

# Update files: classic QV120 (5-byte header + image), new PX520 and
# programmer OMNIX (the whole file is the image; PX520 ends in its trailer).
head -c "$size" /dev/urandom > "$work/classic.raw"
{ printf '\256\251\316\315\317'; cat "$work/classic.raw"; } > "$work/classic.bin"   # ~"QV120"
head -c $((size - 64)) /dev/urandom > "$work/new.bin"
{ printf 'PX520'; head -c 11 /dev/zero; head -c 48 /dev/urandom; } >> "$work/new.bin"
head -c "$size" /dev/urandom > "$work/programmer.bin"

measure() {  # measure OUT CMD...: runs CMD, writes "wall user sys maxrss_kib" to OUT
  local out=$1; shift
  if [ -x /usr/bin/time ]; then
    /usr/bin/time -v -o "$work/time.txt" "$@" > "$work/cli.out" 2> "$work/cli.err" || return 1
    awk -F': ' '
      /Elapsed \(wall clock\)/ { n = split($2, t, ":"); w = 0; for (i = 1; i <= n; i++) w = w * 60 + t[i] }
      /User time/ { u = $2 } /System time/ { s = $2 } /Maximum resident/ { m = $2 }
      END { printf "%s %s %s %s\n", w, u, s, m }' "$work/time.txt" > "$out"
  else
    python3 - "$out" "$@" <<'PY' > "$work/cli.out" 2> "$work/cli.err"
import resource, subprocess, sys, time
start = time.monotonic()
rc = subprocess.call(sys.argv[2:])
wall = time.monotonic() - start
ru = resource.getrusage(resource.RUSAGE_CHILDREN)
open(sys.argv[1], "w").write(f"{wall} {ru.ru_utime} {ru.ru_stime} {ru.ru_maxrss}\n")
sys.exit(rc)
PY
  fi
}

# Bytes on the wire per block of `len` bytes: classic header 10 + ack 6 +
# packet len+6 + ack 6; framed request len+20 + ack 13.
wire_bytes() {  # wire_bytes CLASS IMAGE_SIZE BLOCK
  local class=$1 n=$2 block=$3 total=0 len
  while [ "$n" -gt 0 ]; do
    len=$(( n < block ? n : block ))
    if [ "$class" = classic ]; then total=$((total + len + 28)); else total=$((total + len + 33)); fi
    n=$((n - len))
  done
  echo "$total"
}

printf '%-11s %-8s %8s %8s %9s %9s %6s %9s %s\n' class line wall_s loop_s loop_line whole_line cpu peak_MiB result
for pace in 115200 0; do
  for class in classic new programmer; do
    case $class in
      classic) model=QV120; name=QV120; block=2048; image=$size ;;
      new) model=PX520; name='PX520|1'; block=2048; image=$size ;;
      programmer) model=OMNIX; name='OMNIX|1'; block=128; image=$size ;;
    esac
    pace_args=(); [ "$pace" != 0 ] && pace_args=(--pace "$pace")
    rm -f "$work/ready"
    "$bin/varnok-toolsim" --class "$class" --name "$name" --dev-dir "$VARNOK_DEV_DIR" \
      "${pace_args[@]}" --ready-file "$work/ready" &
    sim_pid=$!
    for _ in $(seq 200); do [ -s "$work/ready" ] && break; sleep 0.02; done
    result=ok
    measure "$work/m.txt" "$bin/varnok-cli" --json --config "$bin/device.xml" update --model "$model" "$work/$class.bin" || result="exit $?"
    kill "$sim_pid"; wait "$sim_pid" 2>/dev/null || true; sim_pid=
    read -r wall user sys rss < "$work/m.txt"
    loop=$(grep '"event":"progress"' "$work/cli.out" | tail -1 | sed 's/.*"elapsed_s":\([0-9.]*\).*/\1/')
    wire=$(wire_bytes "$class" "$image" "$block")
    awk -v c="$class" -v p="$pace" -v w="$wall" -v l="${loop:-0}" -v u="$user" -v s="$sys" \
        -v r="$rss" -v b="$wire" -v res="$result" 'BEGIN {
      line = (p == 0) ? "unpaced" : p
      ls = (p == 0 || l == 0) ? "-" : sprintf("%.1f%%", 100 * (b * 10 / p) / l)
      ws = (p == 0) ? "-" : sprintf("%.1f%%", 100 * (b * 10 / p) / w)
      printf "%-11s %-8s %8.2f %8.2f %9s %9s %5.1f%% %9.1f %s\n", c, line, w, l, ls, ws, 100 * (u + s) / w, r / 1024, res }'
  done
done
echo "peak memory target: < $(( (3 * size) / 1024 / 1024 + 10 )).75 MiB (3 x 256 KiB + 10 MiB)"
