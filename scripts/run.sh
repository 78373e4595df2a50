#!/usr/bin/env bash
# Installs what is needed, builds Kestrova and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh build
exec build/src/kestrova
