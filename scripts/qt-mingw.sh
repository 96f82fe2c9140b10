#!/usr/bin/env bash
# Qt for Windows, cross-compiled from Debian's own qt6-base sources with mingw-w64.
#
# Debian ships no Qt for Windows, but it ships Qt's sources and the host tools (moc, rcc,
# uic of qt6-base-dev-tools). This builds QtCore, QtGui, QtWidgets and QtTest as DLLs, with
# the "windows" and "offscreen" platform plugins, and everything the editor does not use
# turned off. The result is cached outside the repository, under a name carrying the Qt
# version and a hash of the options, and reused when present:
#   ${XDG_CACHE_HOME:-$HOME/.cache}/scrivle/qt-<version>-mingw-<hash>/
# The last line printed is that folder. JOBS sets the build's parallelism (default 2).
set -euo pipefail
cd "$(dirname "$0")/.."
JOBS=${JOBS:-2}
CACHE=${XDG_CACHE_HOME:-$HOME/.cache}/scrivle

PACKAGES=(cmake ninja-build perl dpkg-dev g++-mingw-w64-x86-64-posix qt6-base-dev-tools
  qt6-translations-l10n)
scripts/install-packages.sh "${PACKAGES[@]}" >&2

# The host tools decide the version: moc and rcc must match the libraries they serve.
HOST_VERSION=$(dpkg-query -W -f='${Version}' qt6-base-dev-tools)
QT_VERSION=${HOST_VERSION%%+*}
QT_VERSION=${QT_VERSION#*:}
MINGW=x86_64-w64-mingw32
GCC_VERSION=$($MINGW-g++-posix -dumpversion)

# Off: what the editor does not use. tabletevent must go because Debian removed wintab.h;
# dynamicgl goes with opengl, or the windows plugin does not compile. direct2d must stay:
# QtGui builds its DirectWrite font engine only with it, and the windows plugin needs that. The third-party
# libraries Qt needs come from its bundled copies (none of them exists for mingw here).
FEATURES=(
  -DFEATURE_opengl=OFF -DFEATURE_dynamicgl=OFF -DFEATURE_vulkan=OFF
  -DFEATURE_dbus=OFF -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_icu=OFF
  -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF -DFEATURE_printsupport=OFF
  -DFEATURE_tabletevent=OFF -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF -DFEATURE_ico=OFF
  -DFEATURE_textmarkdownreader=OFF -DFEATURE_textmarkdownwriter=OFF
  -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_harfbuzz=OFF
  -DFEATURE_system_freetype=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF
  -DFEATURE_system_doubleconversion=OFF
  -DQT_BUILD_TESTS=OFF -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_BENCHMARKS=OFF
  -DBUILD_SHARED_LIBS=ON -DCMAKE_BUILD_TYPE=Release
)
HASH=$(printf '%s\n' "$HOST_VERSION" "$GCC_VERSION" "${FEATURES[@]}" | sha256sum | cut -c1-10)
PREFIX=$CACHE/qt-$QT_VERSION-mingw-$HASH

# Qt's French catalogue: the .qm files are the same on every system, so Debian's serve.
# Also added to a build cached before it was part of the install.
add_translations() {
  mkdir -p "$PREFIX/translations"
  cp /usr/share/qt6/translations/qtbase_fr.qm "$PREFIX/translations/"
}

if [ -f "$PREFIX/.complete" ]; then
  [ -f "$PREFIX/translations/qtbase_fr.qm" ] || add_translations
  echo "== Qt $QT_VERSION for Windows: cached in $PREFIX" >&2
  echo "$PREFIX"
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

echo "== Qt $QT_VERSION sources (Debian qt6-base $HOST_VERSION)" >&2
SRC_PARENT=$CACHE/src
mkdir -p "$SRC_PARENT"
SRC=$(find "$SRC_PARENT" -maxdepth 1 -type d -name "qt6-base-$QT_VERSION*" | head -n1)
if [ -z "$SRC" ] || [ ! -f "$SRC/CMakeLists.txt" ]; then
  # A deb-src entry for Debian's main archive, when none gives the sources yet.
  if [ -z "$(apt-cache showsrc qt6-base 2>/dev/null)" ]; then
    CODENAME=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
    echo "   adding a deb-src entry for $CODENAME" >&2
    printf 'Types: deb-src\nURIs: http://deb.debian.org/debian\nSuites: %s\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
      "$CODENAME" | $SUDO tee /etc/apt/sources.list.d/scrivle-deb-src.sources >/dev/null
    $SUDO apt-get update -qq
  fi
  (cd "$SRC_PARENT" &&
    { apt-get source -qq --only-source "qt6-base=$HOST_VERSION" >&2 ||
      apt-get source -qq --only-source qt6-base >&2; })
  SRC=$(find "$SRC_PARENT" -maxdepth 1 -type d -name "qt6-base-$QT_VERSION*" | head -n1)
  if [ -z "$SRC" ]; then
    echo "qt6-base $QT_VERSION sources not found (host tools are $HOST_VERSION)" >&2
    exit 1
  fi
fi

# The toolchain goes inside the install, since Qt's own toolchain file loads it from there.
mkdir -p "$PREFIX"
cat >"$PREFIX/mingw-w64.cmake" <<'EOF'
# 64-bit Windows with Debian's mingw-w64 (POSIX threads). Programs link the compiler's
# runtime DLLs (libstdc++-6, libgcc_s_seh-1, libwinpthread-1), shared with Qt's DLLs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
find_program(SCRIVLE_WINE NAMES wine wine64)
if(SCRIVLE_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${SCRIVLE_WINE})
endif()
EOF

BUILD=$CACHE/build-qt-$QT_VERSION-mingw-$HASH
echo "== configuring Qt in $BUILD" >&2
cmake -S "$SRC" -B "$BUILD" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$PREFIX/mingw-w64.cmake" \
  -DCMAKE_INSTALL_PREFIX="$PREFIX" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  "${FEATURES[@]}" >"$BUILD.configure.log" 2>&1 ||
  { tail -n 40 "$BUILD.configure.log" >&2; exit 1; }

echo "== building Qt ($JOBS jobs; log: $BUILD.log)" >&2
start=$(date +%s)
if ! cmake --build "$BUILD" -j"$JOBS" >"$BUILD.log" 2>&1; then
  grep -B2 -A20 -m3 'FAILED' "$BUILD.log" >&2 || tail -n 40 "$BUILD.log" >&2
  exit 1
fi
echo "   built in $(($(date +%s) - start)) s" >&2
cmake --install "$BUILD" >"$BUILD.install.log" 2>&1

# Qt's LGPL text travels with the DLLs that are shipped.
mkdir -p "$PREFIX/licenses"
cp "$SRC"/LICENSES/LGPL-3.0-only.txt "$SRC"/LICENSES/GPL-3.0-only.txt "$PREFIX/licenses/" 2>/dev/null ||
  cp "$SRC"/LICENSE.LGPL3 "$PREFIX/licenses/" 2>/dev/null || true
cp "$SRC/debian/copyright" "$PREFIX/licenses/qt6-base.copyright" 2>/dev/null || true

add_translations
touch "$PREFIX/.complete"
rm -rf "$BUILD"
echo "$PREFIX"
