#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for SECONDS (default 60).
# Usage: bash scripts/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
bash scripts/setup.sh clang libclang-rt-14-dev
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPW_FUZZ=ON -DPW_BUILD_GUI=OFF >/dev/null
cmake --build build-fuzz -j"$(nproc)" --target fuzz_text_resources fuzz_csv fuzz_texture_group
for target in fuzz_text_resources fuzz_csv fuzz_texture_group; do
  mkdir -p "build-fuzz/corpus/$target"
  echo "== $target for ${seconds}s"
  "build-fuzz/$target" -max_total_time="$seconds" -rss_limit_mb=2048 -max_len=4096 "build-fuzz/corpus/$target" \
    2>&1 | tail -n 3
done
