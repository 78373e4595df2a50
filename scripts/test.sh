#!/usr/bin/env bash
# Installs the test tools, builds everything (program, tests, benchmarks) and
# runs every test, the ones in a real X server included.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --test
scripts/build.sh build -DKESTROVA_BUILD_TESTS=ON -DKESTROVA_BUILD_BENCHMARKS=ON
cd build
ctest --output-on-failure -j"$(nproc)"
