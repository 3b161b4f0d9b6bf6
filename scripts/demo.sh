#!/usr/bin/env bash
# Installs what is missing, builds, starts the simulated module on a free
# loopback port and opens Kalvor pointed at it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${KALVOR_BUILD_DIR:-$root/build}
bash "$root/scripts/install-deps.sh"
KALVOR_TARGETS="kalvor kalvor-sim" bash "$root/scripts/build.sh"
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
  echo "kalvor demo: no display found (set DISPLAY, or run under xvfb-run); the build is ready in $build_dir." >&2
  exit 1
fi
work=$(mktemp -d)
"$build_dir/sim/kalvor-sim" --port 0 --state "$root/sim/demo-state.json" --journal "$work/journal.jsonl" >"$work/sim.out" &
sim_pid=$!
trap 'kill "$sim_pid" 2>/dev/null; wait "$sim_pid" 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 50); do
  grep -q listening "$work/sim.out" 2>/dev/null && break
  sleep 0.1
done
port=$(sed -n 's/.*listening on .*:\([0-9]*\)$/\1/p' "$work/sim.out")
[[ -n "$port" ]] || { echo "kalvor demo: the simulated module did not start" >&2; exit 1; }
echo "Simulated module on 127.0.0.1:$port (journal: $work/journal.jsonl)"
"$build_dir/kalvor" --address 127.0.0.1 --port "$port"
