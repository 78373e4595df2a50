#!/usr/bin/env bash
# Builds the tests of the work done on other threads (the photo decoded in
# strips while it is shown, its corner decoded ahead, its pages mapped in and
# its levels made beside it, the face search) with ThreadSanitizer into
# build-tsan/ and runs them there. Any data race between our threads fails.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build=${1:-build-tsan}
tests=(JpegDecoderTest PictureStreamTest PagePrefaultTest MappedImageTest PyramidBuilderTest
    FramingSessionLoadingTest FramingSessionOpenTest FramingSessionTest BadInputTest)

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTROVA_SANITIZE_THREADS=ON \
    -DKESTROVA_BUILD_BENCHMARKS=OFF
cmake --build "$build" -j"$(nproc)" --target "${tests[@]}"

export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:suppressions=$root/tests/sanitizers/tsan.supp"

cd "$build"
pattern="^($(IFS='|'; echo "${tests[*]}"))\$"
ctest --output-on-failure -j"$(nproc)" -R "$pattern"
