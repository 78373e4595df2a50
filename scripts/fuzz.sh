#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build-fuzz/ and runs each one
# for the given number of seconds (60 unless told) on a scratch copy of its
# seeds in fuzz/corpus/, so the repository is never written to. Any crash,
# sanitizer report, leak, time-out or allocation over the limits fails it;
# the input that did it is kept in the scratch folder, named in the output.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
build=build-fuzz
targets=(fuzz_picture_loader fuzz_quality_text fuzz_capture_geometry)

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DKESTROVA_BUILD_FUZZERS=ON -DKESTROVA_BUILD_TESTS=OFF -DKESTROVA_BUILD_BENCHMARKS=OFF
cmake --build "$build" -j"$(nproc)" --target "${targets[@]}"

scratch=$(mktemp -d /tmp/kestrova-fuzz.XXXXXX)
echo "Scratch corpora and any crashing inputs: $scratch"
export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"

# The loader may rightly allocate one picture at its 120-megapixel cap
# (480 MB of pixels); anything much beyond that is a failure to refuse early.
declare -A malloc_limit=([fuzz_picture_loader]=640 [fuzz_quality_text]=64 [fuzz_capture_geometry]=256)

failed=()
for target in "${targets[@]}"; do
    corpus="$scratch/$target"
    mkdir -p "$corpus" "$scratch/$target-artifacts"
    cp fuzz/corpus/"$target"/* "$corpus"/
    echo "== $target for ${seconds}s"
    if ! "$build/fuzz/$target" -max_total_time="$seconds" -timeout=30 -rss_limit_mb=2048 \
        -malloc_limit_mb="${malloc_limit[$target]}" -print_final_stats=1 \
        -artifact_prefix="$scratch/$target-artifacts/" "$corpus" 2>"$scratch/$target.log"; then
        failed+=("$target")
        tail -n 60 "$scratch/$target.log"
    else
        grep -E '^(#[0-9]+.*DONE|stat::number_of_executed_units|stat::peak_rss_mb)' \
            "$scratch/$target.log" || true
    fi
done

if [ ${#failed[@]} -ne 0 ]; then
    echo "Fuzzing failed: ${failed[*]} (inputs in $scratch/<target>-artifacts/)"
    exit 1
fi
echo "Fuzzing found nothing in ${seconds}s per target."
