#!/usr/bin/env bash
# Scrivle for Windows, from a fresh clone on Debian:
#   1. Qt for Windows from Debian's qt6-base sources (scripts/qt-mingw.sh; cached in
#      ${XDG_CACHE_HOME:-$HOME/.cache}/scrivle/, a cold build takes long),
#   2. scrivle.exe, core_tests.exe and ui_tests.exe cross-built with mingw-w64,
#   3. dist/Scrivle-win64/ (the program, its DLLs, fonts, README and licences) zipped into
#      dist/Scrivle-win64.zip,
#   4. unless NO_TESTS=1: both test programs under Wine; "/zip" and "/preview" of the files
#      of the test data compared byte for byte with the Linux build's output; a calculator
#      text opened in the program's window under Wine, Xvfb and openbox.
# Timings go to build-win/timings.txt. JOBS sets the parallelism (default 2).
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
BUILD=$ROOT/${BUILD_DIR_WIN:-build-win}
JOBS=${JOBS:-2}
DIST=$ROOT/dist/Scrivle-win64
MINGW=x86_64-w64-mingw32

PACKAGES=(cmake ninja-build g++ g++-mingw-w64-x86-64-posix wine wine64 libgtest-dev
  qt6-base-dev-tools qt6-base-dev qt6-translations-l10n fonts-dejavu-core fonts-wine zip xvfb
  xdotool openbox imagemagick)
scripts/install-packages.sh "${PACKAGES[@]}"

mkdir -p "$BUILD"
TIMINGS=$BUILD/timings.txt
: >"$TIMINGS"
timed() {  # timed <label> <command...>: runs the command, writes how long it took
  local label=$1 start=$SECONDS
  shift
  "$@"
  echo "$label $((SECONDS - start)) s" | tee -a "$TIMINGS"
}
FAILED=()
checked() {  # checked <label> <command...>: as timed, but a failure is noted and the run goes on
  local label=$1 start=$SECONDS rc=0
  shift
  "$@" || rc=$?
  echo "$label $((SECONDS - start)) s$([ $rc -eq 0 ] || echo " (FAILED)")" | tee -a "$TIMINGS"
  [ $rc -eq 0 ] || FAILED+=("$label")
}

echo "== Qt for Windows"
start=$SECONDS
QT=$(scripts/qt-mingw.sh | tail -n1)
echo "qt $((SECONDS - start)) s" | tee -a "$TIMINGS"
[ -f "$QT/lib/cmake/Qt6/qt.toolchain.cmake" ] || { echo "no Qt in '$QT'"; exit 1; }
echo "   $QT"

scripts/gtest-mingw.sh "$BUILD" "$ROOT/cmake/mingw-w64.cmake" "$JOBS"

# The editor's faces, which Windows does not have: DejaVu Sans Mono, and the two faces it
# borrows the glyphs the mono face lacks from. Loaded from a "fonts" folder beside the program.
DEJAVU=/usr/share/fonts/truetype/dejavu
FONTS=("$DEJAVU"/DejaVuSansMono{,-Bold,-Oblique,-BoldOblique}.ttf "$DEJAVU/DejaVuSans.ttf"
  "$DEJAVU/DejaVuSerif.ttf")

echo "== scrivle.exe and its tests"
LAUNCHER=()
if command -v ccache >/dev/null; then LAUNCHER=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
build_app() {
  local toolchain=$QT/lib/cmake/Qt6/qt.toolchain.cmake
  # A build configured with another toolchain (another Qt) starts its configuration afresh.
  if [ -f "$BUILD/app/CMakeCache.txt" ] &&
    ! grep -qx "CMAKE_TOOLCHAIN_FILE:[A-Z]*=$toolchain" "$BUILD/app/CMakeCache.txt"; then
    rm -rf "$BUILD/app/CMakeCache.txt" "$BUILD/app/CMakeFiles"
  fi
  cmake -S . -B "$BUILD/app" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DSCRIVLE_VALIDATORS=OFF -DSCRIVLE_BENCH=OFF \
    -DCMAKE_DISABLE_FIND_PACKAGE_PkgConfig=ON \
    -DGTest_DIR="$BUILD/gtest/lib/cmake/GTest" "${LAUNCHER[@]}" \
    -DCMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE=PRE_TEST >/dev/null
  cmake --build "$BUILD/app" -j"$JOBS" --target scrivle core_tests ui_tests
  # The test programs load the same faces as the packaged program, from beside them.
  mkdir -p "$BUILD/app/tests/fonts"
  cp "${FONTS[@]}" "$BUILD/app/tests/fonts/"
}
timed windows-build build_app

echo "== dist/Scrivle-win64"
runtime_dll() { $MINGW-g++-posix -print-file-name="$1"; }
assemble() {
  rm -rf "$DIST" "$DIST.zip"
  mkdir -p "$DIST/platforms" "$DIST/styles" "$DIST/fonts" "$DIST/licences" "$DIST/translations"
  $MINGW-strip -o "$DIST/scrivle.exe" "$BUILD/app/scrivle.exe"
  cp "$QT/bin/Qt6Core.dll" "$QT/bin/Qt6Gui.dll" "$QT/bin/Qt6Widgets.dll" "$DIST/"
  cp "$QT/plugins/platforms/qwindows.dll" "$QT/plugins/platforms/qoffscreen.dll" "$DIST/platforms/"
  cp "$QT/plugins/styles/qwindowsvistastyle.dll" "$DIST/styles/"
  for dll in libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll; do
    cp "$(runtime_dll "$dll")" "$DIST/"
  done
  cp "${FONTS[@]}" "$DIST/fonts/"
  # Qt's own dialogs and menus in French. Qt looks for its translations and plug-ins
  # from the folder qt.conf names, here the program's own.
  cp "$QT/translations/qtbase_fr.qm" "$DIST/translations/"
  printf '[Paths]\r\nPrefix = .\r\nPlugins = .\r\nTranslations = translations\r\n' >"$DIST/qt.conf"
  cp README.md "$DIST/README.md"
  cp "$QT/licenses/"* "$DIST/licences/"
  cp /usr/share/doc/gcc-mingw-w64-base/copyright "$DIST/licences/gcc-runtime.copyright"
  cp /usr/share/doc/mingw-w64-common/copyright "$DIST/licences/mingw-w64-winpthreads.copyright"
  cp /usr/share/doc/fonts-dejavu-core/copyright "$DIST/licences/fonts-dejavu.copyright"
  # Every DLL a shipped binary imports is shipped, or is part of Windows.
  local missing=0 dll base
  while read -r dll; do
    base=$(echo "${dll%.*}" | tr '[:upper:]' '[:lower:]')
    if [ -z "$(find "$DIST" -maxdepth 1 -iname "$dll")" ] &&
      [ ! -e "/usr/$MINGW/lib/lib$base.a" ] && [[ $base != api-ms-win-* ]]; then
      echo "   not shipped: $dll"
      missing=1
    fi
  done < <(find "$DIST" -name '*.exe' -o -name '*.dll' | xargs -n1 $MINGW-objdump -p |
    sed -n 's/^\s*DLL Name: //p' | sort -u)
  [ "$missing" -eq 0 ]
  (cd "$DIST/.." && zip -qr9 Scrivle-win64.zip Scrivle-win64)
  du -sh "$DIST" "$DIST.zip"
}
timed dist assemble

if [ "${NO_TESTS:-0}" = 1 ]; then exit 0; fi

echo "== tests under Wine"
export WINEPREFIX=$BUILD/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$WINEPREFIX"
wineserver -p
trap 'wineserver -k || true' EXIT
wine cmd /c exit >/dev/null 2>&1 || true
winpath() { winepath -w "$1" 2>/dev/null; }
# The test programs find Qt's DLLs and the runtime through WINEPATH; offscreen draws with
# the fonts of QT_QPA_FONTDIR.
WINEPATH="$(winpath "$QT/bin");$(winpath "$(dirname "$(runtime_dll libstdc++-6.dll)")");$(winpath "/usr/$MINGW/lib")"
export WINEPATH
run_gtest() {  # run_gtest <name> <exe> [env...]
  local name=$1 exe=$2 log=$BUILD/$1.log
  shift 2
  env "$@" wine "$exe" --gtest_brief=1 >"$log" 2>&1 || true
  tr -d '\r' <"$log" >"$log.txt"
  grep -E '^\[  (PASSED|FAILED|SKIPPED) +\] [0-9]' "$log.txt" | sed "s/^/   $name: /"
  grep -E '^\[  FAILED  \] [A-Za-z].* \([0-9]+ ms\)$' "$log.txt" | sed "s/^/   $name: /" || true
  grep -q '^\[  PASSED  \]' "$log.txt" && ! grep -q '^\[  FAILED  \]' "$log.txt"
}
wine_tests() {
  local ok=0
  run_gtest core_tests "$BUILD/app/tests/core_tests.exe" || ok=1
  run_gtest ui_tests "$BUILD/app/tests/ui_tests.exe" QT_QPA_PLATFORM=offscreen \
    QT_QPA_FONTDIR="$(winpath /usr/share/fonts/truetype/dejavu)" || ok=1
  return $ok
}
checked wine-tests wine_tests

echo "== /zip and /preview under Wine against the Linux build"
# The Linux program to compare with: the usual build/ brought up to date when there is one,
# else a build of its own without the validators and benchmarks (fewer packages).
linux_scrivle() {
  local dir=build
  if [ ! -f build/CMakeCache.txt ]; then
    dir=$BUILD/linux
    cmake -S . -B "$dir" -G Ninja -DSCRIVLE_VALIDATORS=OFF -DSCRIVLE_BENCH=OFF \
      "${LAUNCHER[@]}" >/dev/null
  fi
  cmake --build "$dir" -j"$JOBS" --target scrivle core_tests >/dev/null
  LINUX_DIR=$dir
  [ "${dir:0:1}" = / ] || LINUX_DIR=$ROOT/$dir
  LINUX_BIN=$LINUX_DIR/scrivle
}
timed linux-build linux_scrivle
# The core tests wrote to the real registry (advapi32); a store written by the Linux
# program imports with the registry editor and reads back the same.
registry_checks() {
  wine reg query 'HKCU\Software\Scrivle CI\Proof' | tr -d '\r' | tee "$BUILD/proof.txt"
  grep -q 'writer.*REG_SZ.*core_tests' "$BUILD/proof.txt" &&
    grep -q 'count.*REG_DWORD.*0x12c' "$BUILD/proof.txt" || return 1
  local sample=$BUILD/linux-store.reg
  SCRIVLE_SAMPLE_STORE=$sample "$LINUX_DIR/tests/core_tests" \
    --gtest_filter=RegistryFile.SampleStoreForWindows --gtest_brief=1 >/dev/null || return 1
  wine reg delete 'HKCU\Software\Scrivle' /f >/dev/null 2>&1 || true
  wine regedit /s "$(winpath "$sample")"
  SCRIVLE_IMPORTED_STORE=$(winpath "$sample") wine "$BUILD/app/tests/core_tests.exe" \
    --gtest_filter=WinRegistry.ImportedStoreReadsBackTheSame 2>&1 | tr -d '\r' >"$BUILD/import.txt"
  # The comparisons that follow start from no settings, as the Linux side does.
  wine reg delete 'HKCU\Software\Scrivle' /f >/dev/null 2>&1 || true
  grep -q '\[  PASSED  \] 1 test' "$BUILD/import.txt" && echo "   the Linux store read back the same"
}
checked registry registry_checks
checked zip-compare tests/windows/zip_matches_linux.sh "$LINUX_BIN" "$DIST/scrivle.exe"
checked preview-compare tests/windows/preview_matches_linux.sh "$LINUX_BIN" "$DIST/scrivle.exe"

echo "== a calculator text opens in a window (Wine, Xvfb, openbox)"
SAMPLE=tests/data/ti-text/cours_optique.9xt
# SCREENSHOT=docs/windows.png keeps a picture of it.
checked window tests/windows/opens_window.sh "$DIST/scrivle.exe" "$SAMPLE" ${SCREENSHOT:+"$SCREENSHOT"}
if [ ${#FAILED[@]} -gt 0 ]; then
  echo "== FAILED under Wine: ${FAILED[*]}"
  exit 1
fi
echo "== Windows program built and tested: dist/Scrivle-win64.zip"
