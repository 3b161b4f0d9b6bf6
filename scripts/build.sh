#!/usr/bin/env bash
# Configures and builds Kalvor, the simulated module and the tests in build/.
# Extra arguments go to CMake (e.g. -DKALVOR_SANITIZE=ON); KALVOR_TARGETS
# limits the build to some targets.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${KALVOR_BUILD_DIR:-$root/build}
cmake -S "$root" -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
targets=()
[[ -n "${KALVOR_TARGETS:-}" ]] && targets=(--target $KALVOR_TARGETS)
cmake --build "$build_dir" -j"$(nproc)" "${targets[@]}"
