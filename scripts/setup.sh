#!/usr/bin/env bash
# Installs the Debian packages Scrivle needs to build, test and run, when missing.
set -euo pipefail

PACKAGES=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev zlib1g-dev
  libticonv-dev libtifiles-dev
  libhunspell-dev hunspell-fr hunspell-en-us libfontconfig-dev
  fonts-dejavu-core
  xvfb xauth xdotool xclip x11-utils imagemagick
  clang clang-tidy clang-format
  xdg-utils shared-mime-info
  qt6-translations-l10n openbox hyperfine libxcb1-dev
)

"$(dirname "$0")/install-packages.sh" "${PACKAGES[@]}"
