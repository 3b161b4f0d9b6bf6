#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors, and runs the whole
# test suite offscreen; then builds once more with AddressSanitizer and UBSan
# (in build-asan/) and runs the suite again there.
# KALVOR_SANITIZE_RUN=0 skips the second pass; extra arguments go to CMake.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${KALVOR_BUILD_DIR:-$root/build}
bash "$root/scripts/install-deps.sh"

# Three tests at a time on two cores: most of them spend their time waiting
# for simulated modules, and the longest (test_ctl) bounds the run anyway.
run_suite() {
  (cd "$1" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j3)
}

KALVOR_BUILD_DIR=$build_dir bash "$root/scripts/build.sh" -DKALVOR_WERROR=ON "$@"
run_suite "$build_dir"

if [[ "${KALVOR_SANITIZE_RUN:-1}" != 0 ]]; then
  echo "== The suite again, under AddressSanitizer and UBSan"
  # Unoptimised, without the benchmarks: the sanitizers look at the same code,
  # and the second build costs a good deal less time.
  KALVOR_BUILD_DIR=$build_dir-asan bash "$root/scripts/build.sh" -DKALVOR_WERROR=ON -DKALVOR_SANITIZE=ON \
    -DCMAKE_BUILD_TYPE=Debug -DKALVOR_BUILD_BENCHMARKS=OFF "$@"
  run_suite "$build_dir-asan"
fi
