#!/usr/bin/env bash
# Updates through ser2net against the tool simulator: a 256 KiB new-tool
# (PX520) image with the line paced at 115200 baud, locally and through
# rfc2217:// with 0, 10 and 50 ms added to the round trip (a delaying
# proxy on 127.0.0.1 holds each direction half of it); then 16 remote
# tools at once with update --all, for varnok-cli's CPU time.
#
#   bench/remote_update.sh [BUILD_DIR]      (default: build)
#
# Goals: through ser2net at 0 ms at least 97 % of the local bytes per
# second; 16 remote tools at most 5 % of one core.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${1:-${BUILD_DIR:-build}}
case $BUILD_DIR in /*) bin=$BUILD_DIR/bin ;; *) bin=$PWD/$BUILD_DIR/bin ;; esac
size=$((256 * 1024))
work=$(mktemp -d /tmp/varnok-bench-remote.XXXXXX)
pids=()
trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; wait 2>/dev/null; rm -rf "$work"' EXIT
export VARNOK_DEV_DIR=$work/dev
mkdir -p "$VARNOK_DEV_DIR"

head -c $((size - 64)) /dev/urandom > "$work/new.bin"
{ printf 'PX520'; head -c 11 /dev/zero; head -c 48 /dev/urandom; } >> "$work/new.bin"
{ printf '\256\251\316\315\317'; head -c "$size" /dev/urandom; } > "$work/classic.bin"   # ~"QV120"

free_port() { python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'; }
wait_port() { for _ in $(seq 100); do (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null && return; sleep 0.05; done; }

start_tool() {  # start_tool K CLASS NAME
  rm -f "$work/ready$1"
  "$bin/varnok-toolsim" --class "$2" --name "$3" --dev-dir "$VARNOK_DEV_DIR" --pace 115200 \
    --port "ttyACM$1" --ready-file "$work/ready$1" >/dev/null 2>&1 &
  pids+=($!)
  for _ in $(seq 200); do [ -s "$work/ready$1" ] && break; sleep 0.02; done
}

start_ser2net() {  # start_ser2net N: devices ttyACM0..N-1 on ports[0..N-1]
  ports=()
  : > "$work/ser2net.yaml"
  echo '%YAML 1.1' >> "$work/ser2net.yaml"; echo '---' >> "$work/ser2net.yaml"
  for k in $(seq 0 $(($1 - 1))); do
    ports+=("$(free_port)")
    printf 'connection: &t%s\n  accepter: telnet(rfc2217),tcp,127.0.0.1,%s\n  connector: serialdev,%s/ttyACM%s,115200n81,local\n  options:\n    kickolduser: true\n    chardelay: false\n' \
      "$k" "${ports[$k]}" "$VARNOK_DEV_DIR" "$k" >> "$work/ser2net.yaml"
  done
  ser2net -n -u -c "$work/ser2net.yaml" -P "$work/ser2net.pid" >/dev/null 2>&1 &
  pids+=($!)
  ser2net_pid=$!
  for p in "${ports[@]}"; do wait_port "$p"; done
}

start_proxy() {  # start_proxy TARGET DELAY_MS: sets proxy_port
  local port; port=$(free_port)
  python3 - "$port" "$1" "$2" >/dev/null 2>&1 <<'PY' &
import asyncio, sys
port, target, delay = int(sys.argv[1]), int(sys.argv[2]), int(sys.argv[3]) / 1000.0
async def pipe(reader, writer):
    loop = asyncio.get_running_loop()
    queue = asyncio.Queue()
    async def send():
        while True:
            due, data = await queue.get()
            if data is None:
                break
            await asyncio.sleep(max(0, due - loop.time()))
            writer.write(data)
            await writer.drain()
        writer.close()
    task = asyncio.create_task(send())
    while True:
        data = await reader.read(4096)
        await queue.put((loop.time() + delay, data or None))
        if not data:
            break
    await task
async def client(r, w):
    tr, tw = await asyncio.open_connection("127.0.0.1", target)
    await asyncio.gather(pipe(r, tw), pipe(tr, w), return_exceptions=True)
async def main():
    server = await asyncio.start_server(client, "127.0.0.1", port)
    async with server:
        await server.serve_forever()
asyncio.run(main())
PY
  pids+=($!)
  wait_port "$port"
  proxy_port=$port
}

run_update() {  # run_update PORT_ARGS...: sets rate (bytes/s of the block loop) and wall
  local start end loop
  start=$(date +%s.%N)
  "$bin/varnok-cli" --json --config "$bin/device.xml" update --model PX520 "$@" "$work/new.bin" \
    > "$work/cli.out" 2> "$work/cli.err" || { echo "update failed: $(tail -n 2 "$work/cli.err")"; return 1; }
  end=$(date +%s.%N)
  loop=$(grep '"event":"progress"' "$work/cli.out" | tail -1 | sed 's/.*"elapsed_s":\([0-9.]*\).*/\1/')
  rate=$(awk -v s="$size" -v l="$loop" 'BEGIN { printf "%.0f", s / l }')
  wall=$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.2f", b - a }')
}

printf '%-22s %12s %8s %8s\n' path bytes_per_s share wall_s
start_tool 0 new 'PX520|1'
run_update --port 1
local_rate=$rate
printf '%-22s %12s %8s %8s\n' local "$rate" "100.0%" "$wall"
kill "${pids[0]}"; wait "${pids[0]}" 2>/dev/null || true
for rtt in 0 10 50; do
  start_tool 0 new 'PX520|1'
  start_ser2net 1
  target=${ports[0]}
  if [ "$rtt" != 0 ]; then
    start_proxy "${ports[0]}" $((rtt / 2))
    target=$proxy_port
  fi
  run_update --port "rfc2217://127.0.0.1:$target"
  share=$(awk -v a="$rate" -v b="$local_rate" 'BEGIN { printf "%.1f%%", 100 * a / b }')
  printf '%-22s %12s %8s %8s\n' "ser2net +${rtt} ms rtt" "$rate" "$share" "$wall"
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  pids=()
done

# 16 tools at once, classic QV120 (256 KiB each): first on the local ports,
# then every one through ser2net.
for k in $(seq 0 15); do start_tool "$k" classic QV120; done
all_update() {  # all_update LABEL PORT_ARGS...
  python3 - "$bin/varnok-cli" "$bin/device.xml" "$work/classic.bin" "$@" <<'PY'
import resource, subprocess, sys, time
cli, config, image, label, ports = sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4], sys.argv[5:]
start = time.monotonic()
rc = subprocess.call([cli, "--json", "--config", config, "update", "--model", "QV120", "--all", *ports, image],
                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
wall = time.monotonic() - start
ru = resource.getrusage(resource.RUSAGE_CHILDREN)
cpu = ru.ru_utime + ru.ru_stime
print(f"16 {label} tools: exit {rc}, wall {wall:.1f} s, varnok-cli CPU {cpu:.2f} s = {100 * cpu / wall:.1f} % of one core")
PY
}
all_update local
start_ser2net 16
args=()
for p in "${ports[@]}"; do args+=(--port "rfc2217://127.0.0.1:$p"); done
all_update remote "${args[@]}"
