# The golden wire traces of tests/traces: one line per trace,
#   NAME;SIMULATOR ARGUMENTS;VARNOK-CLI ARGUMENTS;EXIT
# EXIT is varnok-cli's exit status in the recorded run. In the arguments
# FILE stands for the trace's update image tests/traces/NAME.bin and DATA
# for its data-mode text tests/traces/NAME.txt. Sourced by
# scripts/record-traces (records them against the simulator) and
# scripts/replay-traces (replays each strictly against today's varnok-cli).
VARNOK_TRACES=(
  "qv120-classic;--class classic --name QV120;update --model QV120 FILE;0"
  "px520-new;--class new --name PX520|1;update --model PX520 FILE;0"
  "omnix-programmer;--class programmer --name OMNIX|1;update --model OMNIX FILE;0"
  "px520-reconnect;--class new --name PX520|1 --fault unplug-after-block:1:500;update --model PX520 FILE;0"
  "px520-erase-refused;--class new --name PX520|1 --fault refuse:2A;update --model PX520 FILE;4"
  "qv220-capture;--data-file DATA;capture --lines 3;0"
)
