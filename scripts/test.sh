#!/usr/bin/env bash
# Builds Kestrova and runs every test, the one in a real X server included.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh build
cd build
ctest --output-on-failure -j"$(nproc)"
