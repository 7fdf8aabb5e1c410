#!/usr/bin/env bash
# Builds KRX (Release) and its sample data set, then starts the game in its
# game directory build/data.
set -euo pipefail
cd "$(dirname "$0")"
tools/deps.sh build-essential cmake ninja-build pkg-config ccache libsdl2-dev \
  libgtest-dev libgmock-dev libbenchmark-dev
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DKRX_TESTS=OFF >/dev/null
cmake --build build --target krx mkdata data
cd build/data
exec ../krx "$@"
