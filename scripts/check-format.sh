#!/usr/bin/env bash
# Fails if any C++ file differs from what clang-format makes of it.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files '*.cpp' '*.h')
clang-format --dry-run --Werror "${files[@]}"
echo "Formatting is clean (${#files[@]} files)."
