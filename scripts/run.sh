#!/usr/bin/env bash
# Installs what the program needs, builds the program alone (no tests,
# benchmarks or fuzzers), installs it into ~/Kestrova and starts it from there.
# Photos are saved beside the program, so it runs from a folder that no build,
# test or CI step ever deletes.
set -euo pipefail
cd "$(dirname "$0")/.."
prefix=$HOME/Kestrova

scripts/install-deps.sh
scripts/build.sh build -DKESTROVA_BUILD_TESTS=OFF -DKESTROVA_BUILD_BENCHMARKS=OFF \
    -DKESTROVA_BUILD_FUZZERS=OFF
cmake --install build --prefix "$prefix"
echo "Kestrova is in $prefix/bin; photos are saved there."
exec "$prefix/bin/kestrova"
