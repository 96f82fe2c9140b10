#!/usr/bin/env bash
# GoogleTest for Windows, cross-built once from Debian's /usr/src/googletest into
# BUILD/gtest (BUILD_DIR/gtest/lib/cmake/GTest is what the test programs find).
#   scripts/gtest-mingw.sh BUILD TOOLCHAIN [JOBS]
set -euo pipefail
BUILD=${1:?usage: $0 BUILD TOOLCHAIN [JOBS]}
TOOLCHAIN=${2:?usage: $0 BUILD TOOLCHAIN [JOBS]}
JOBS=${3:-2}
echo "== GoogleTest for Windows (from /usr/src/googletest)"
if [ ! -f "$BUILD/gtest/lib/cmake/GTest/GTestConfig.cmake" ]; then
  cmake -S /usr/src/googletest -B "$BUILD/gtest-build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$BUILD/gtest" -DBUILD_GMOCK=OFF -Dgtest_disable_pthreads=ON >/dev/null
  cmake --build "$BUILD/gtest-build" -j"$JOBS"
  cmake --install "$BUILD/gtest-build" >/dev/null
fi
