#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors, and runs the whole
# test suite offscreen. KALVOR_SANITIZE_RUN=1 then builds once more with
# AddressSanitizer and UBSan (in build-asan/) and runs the suite again there
# (a second build: on two cores it doubles the time). KALVOR_TEST_JOBS sets
# how many tests run at a time; extra arguments go to CMake.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${KALVOR_BUILD_DIR:-$root/build}
bash "$root/scripts/install-deps.sh"

# Most tests spend their time waiting for simulated modules and the programs
# they start, not computing: four at a time on two cores.
jobs=${KALVOR_TEST_JOBS:-4}
run_suite() {
  (cd "$1" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$jobs")
}

KALVOR_BUILD_DIR=$build_dir bash "$root/scripts/build.sh" -DKALVOR_WERROR=ON -DKALVOR_DEBUG_INFO=OFF "$@"
sanitize=0
[[ "${KALVOR_SANITIZE_RUN:-0}" == 1 ]] && sanitize=1

# The suite mostly waits for simulated modules and the programs it starts:
# the benchmarks (and the sanitizer build) compile meanwhile, and the
# suite's report follows theirs.
suite_log=$(mktemp)
trap 'rm -f "$suite_log"' EXIT
run_suite "$build_dir" >"$suite_log" 2>&1 &
suite=$!
build_status=0
echo "== The benchmarks, while the suite runs"
cmake --build "$build_dir" -j"$(nproc)" --target benchmarks || build_status=$?
if ((sanitize)); then
  echo "== The sanitizer build (AddressSanitizer and UBSan), while the suite runs"
  # Unoptimised, without the benchmarks: the sanitizers look at the same
  # code, and the second build costs a good deal less time.
  KALVOR_BUILD_DIR=$build_dir-asan bash "$root/scripts/build.sh" -DKALVOR_WERROR=ON -DKALVOR_SANITIZE=ON \
    -DCMAKE_BUILD_TYPE=Debug -DKALVOR_BUILD_BENCHMARKS=OFF "$@" || build_status=$?
fi
suite_status=0
wait "$suite" || suite_status=$?
echo "== The suite"
cat "$suite_log"
if ((suite_status != 0 || build_status != 0)); then
  exit 1
fi
if ((sanitize)); then
  echo "== The suite again, under AddressSanitizer and UBSan"
  run_suite "$build_dir-asan"
fi
