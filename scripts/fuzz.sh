#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (in build-fuzz/, or $ORVJ_FUZZ_BUILD_DIR) and runs
# each for SECONDS seconds (default 60), starting from the seed inputs in fuzz/corpus/.
# New inputs go to build-fuzz/corpus/, findings to build-fuzz/findings/. Exits non-zero when
# a target crashes or one of its property checks fails.
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_EACH=${1:-60}
BUILD_DIR=${ORVJ_FUZZ_BUILD_DIR:-build-fuzz}
targets=(fuzz_client_file fuzz_config_file fuzz_cp1252 fuzz_scoring_table fuzz_report_texts
         fuzz_report_composition fuzz_question_bank fuzz_question_source fuzz_client_source
         fuzz_utf8_text fuzz_lock_holder fuzz_audit_trail)

GEN=()
if command -v ninja >/dev/null 2>&1; then
  GEN=(-G Ninja)
fi
if [ ! -f "$BUILD_DIR/CMakeCache.txt" ]; then
  cmake -S . -B "$BUILD_DIR" "${GEN[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ -DORVJ_FUZZ=ON -DORVJ_BUILD_BENCHMARKS=OFF -DBUILD_TESTING=OFF \
    >/dev/null
fi
cmake --build "$BUILD_DIR" -j "$(nproc)" --target fuzz_targets

mkdir -p "$BUILD_DIR/findings"
# One target per core at a time; each writes its own log, read once all have ended.
run_one() {
  local t=$1 work="$BUILD_DIR/corpus/$1"
  mkdir -p "$work"
  if ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
      "$BUILD_DIR/fuzz/$t" -max_total_time="$SECONDS_EACH" -timeout=20 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="$BUILD_DIR/findings/$t-" \
      "$work" "fuzz/corpus/$t" >"$BUILD_DIR/$t.log" 2>&1; then
    echo ok >"$BUILD_DIR/$t.result"
  else
    echo failed >"$BUILD_DIR/$t.result"
  fi
}
jobs=$(nproc)
running=0
for t in "${targets[@]}"; do
  rm -f "$BUILD_DIR/$t.result"
  if [ "$running" -ge "$jobs" ]; then
    wait -n || true
    running=$((running - 1))
  fi
  run_one "$t" &
  running=$((running + 1))
done
wait
failed=()
for t in "${targets[@]}"; do
  echo "== $t: ${SECONDS_EACH}s"
  if [ "$(cat "$BUILD_DIR/$t.result" 2>/dev/null)" != ok ]; then
    failed+=("$t")
    tail -n 40 "$BUILD_DIR/$t.log"
  else
    grep -E '^stat::number_of_executed_units|^Done' "$BUILD_DIR/$t.log" | tr '\n' ' '
    echo
  fi
done

if [ ${#failed[@]} -ne 0 ]; then
  echo "Fuzzing found faults in: ${failed[*]} (inputs in $BUILD_DIR/findings/)"
  exit 1
fi
echo "No findings."
