#!/usr/bin/env bash
# Sets up (Debian packages), builds, and starts the program on the bundled demo archive.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)"
if [ -x build/packwright ] && { [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; }; then
  exec build/packwright "$PWD/build/demo/demo.bin"
fi
exec build/packwright-cli list build/demo/demo.bin
