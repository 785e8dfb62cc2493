#!/usr/bin/env bash
# What CI runs after scripts/test.sh: every test again in a build with
# AddressSanitizer and UndefinedBehaviorSanitizer, then a short libFuzzer run of
# every fuzz target (clang; installed here when missing).
#
#   bash scripts/test-robustness.sh            both
#   bash scripts/test-robustness.sh sanitize   only the sanitizer run
#   bash scripts/test-robustness.sh fuzz       only the fuzz run
#
# NOLLEX_FUZZ_SECONDS (default 8) bounds each target's run, NOLLEX_FUZZ_RUNS
# (default 20000) its number of inputs: whichever comes first ends it.
set -euo pipefail
cd "$(dirname "$0")/.."
what="${1:-all}"
jobs="$(nproc)"
sanitizeBuild="${NOLLEX_SANITIZE_BUILD:-build-sanitize}"
fuzzBuild="${NOLLEX_FUZZ_BUILD:-build-fuzz}"
export QT_QPA_PLATFORM=offscreen

if [ "$what" = all ] || [ "$what" = sanitize ]; then
  bash scripts/deps.sh
  cmake -S . -B "$sanitizeBuild" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DNOLLEX_SANITIZE=ON
  cmake --build "$sanitizeBuild" -j"$jobs"
  # Any report fails its test: UBSan stops at the first one (the build sets
  # -fno-sanitize-recover), ASan and LeakSanitizer stop the program.
  (cd "$sanitizeBuild" &&
    ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1" \
    UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
    ctest --output-on-failure -j"$jobs")
fi

if [ "$what" = all ] || [ "$what" = fuzz ]; then
  bash scripts/deps.sh clang libclang-rt-14-dev
  cmake -S . -B "$fuzzBuild" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DNOLLEX_FUZZ=ON \
    -DCMAKE_CXX_COMPILER=clang++ -DNOLLEX_TESTS=OFF
  cmake --build "$fuzzBuild" -j"$jobs" --target fuzzers
  seconds="${NOLLEX_FUZZ_SECONDS:-8}"
  runs="${NOLLEX_FUZZ_RUNS:-20000}"
  mkdir -p "$fuzzBuild/artifacts"
  for program in "$fuzzBuild"/fuzz/fuzz_*; do
    [ -x "$program" ] && [ -f "$program" ] || continue
    target="$(basename "$program")"
    short="${target#fuzz_}"
    # New inputs go to a scratch folder; the repository's corpus is only read.
    scratch="$fuzzBuild/corpus/$short"
    mkdir -p "$scratch"
    log="$fuzzBuild/artifacts/$target.log"
    echo "== $target: up to $runs inputs or $seconds s"
    dict=()
    [ -f "fuzz/$short.dict" ] && dict=(-dict="fuzz/$short.dict")
    if ! "$program" -runs="$runs" -max_total_time="$seconds" -print_final_stats=1 "${dict[@]}" \
         -artifact_prefix="$fuzzBuild/artifacts/$target-" "$scratch" "fuzz/corpus/$short" > "$log" 2>&1; then
      tail -n 60 "$log" >&2
      echo "$target failed; the input that did it is in $fuzzBuild/artifacts/" >&2
      exit 1
    fi
    grep -E '^(Done|stat::number_of_executed_units)' "$log" || true
  done
fi
