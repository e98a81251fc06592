#!/usr/bin/env bash
# Builds Velumo with its tests and runs them all; non-zero exit on any failure.
set -euo pipefail
cd "$(dirname "$0")"

scripts/setup-deps.sh
cmake -S . -B build/test -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELUMO_BUILD_TESTS=ON -DVELUMO_WERROR=ON >/dev/null
cmake --build build/test -j"$(nproc)"
cd build/test
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)"
