#!/usr/bin/env bash
# Builds the core tests with AddressSanitizer and UndefinedBehaviorSanitizer and runs them.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DPW_SANITIZE=ON -DPW_BUILD_GUI=OFF >/dev/null
cmake --build build-asan -j"$(nproc)"
cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j"$(nproc)"
