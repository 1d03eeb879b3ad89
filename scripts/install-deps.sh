#!/usr/bin/env bash
# Installs, from Debian's packages, what building and testing need: the
# native toolchain and GoogleTest; mingw-w64 and Wine (64- and 32-bit) for
# the Windows build; Xvfb, xdotool and ImageMagick to answer and photograph
# its boxes; a Japanese locale and font, so that Wine's ANSI code page is 932.
# clang and its runtime for the fuzzers and the Clang build, clang-tidy and
# clang-format for the lint; gnuplot for the benchmark's plot.
set -euo pipefail
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
packages=(cmake g++ make libgtest-dev libgmock-dev googletest python3
  mingw-w64 wine wine64 wine32:i386 xvfb xdotool imagemagick locales fonts-ipafont-gothic
  clang libclang-rt-14-dev clang-tidy clang-format gnuplot-nox)
dpkg --print-foreign-architectures | grep -qx i386 || $sudo dpkg --add-architecture i386
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
if ! locale -a | grep -qi '^ja_JP.utf-\?8$'; then
  $sudo sed -i 's/^# *ja_JP.UTF-8 UTF-8/ja_JP.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
  $sudo locale-gen >/dev/null
fi
