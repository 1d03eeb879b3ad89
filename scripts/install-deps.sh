#!/usr/bin/env bash
# Installs, from Debian's packages, what building and testing need: the
# native toolchain and GoogleTest; mingw-w64 and Wine for the Windows
# builds (Wine's 32-bit half only where this host runs 32-bit programs);
# Xvfb, xdotool and ImageMagick to answer and photograph the boxes; a
# Japanese locale and font, so that Wine's ANSI code page is 932; clang and
# its runtime for the fuzzers and the Clang build, clang-tidy and
# clang-format for the lint; Unicode's data for the generated tables;
# gnuplot for the benchmark's plot; osslsigncode and openssl to sign the
# Windows programs (scripts/sign.sh) and to check that step.
#
# A package mirror can be briefly inconsistent: the index is fetched again
# a few times, and if part of it still fails the install is tried with the
# lists there are. A failure ends with one line that names what could not
# be installed and the index that failed.
set -uo pipefail
cd "$(dirname "$0")/.."
say() { echo "install-deps: $*" >&2; }
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
packages=(cmake g++ make libgtest-dev libgmock-dev googletest python3
  mingw-w64 wine wine64 xvfb xdotool imagemagick locales fonts-ipafont-gothic
  clang libclang-rt-14-dev clang-tidy clang-format unicode-data gnuplot-nox osslsigncode openssl)
if refused=$(tools/runs_32bit.sh); then
  packages+=(wine32:i386)
  dpkg --print-foreign-architectures | grep -qx i386 || $sudo dpkg --add-architecture i386 || exit 1
else
  say "this host cannot run 32-bit programs ($refused): Wine's 32-bit half is not installed, and the 32-bit program's Wine tests will be skipped"
fi

missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done

# The indexes apt-get could not fetch, from what it said.
failed_indexes() { grep -oE 'Failed to fetch +[^ ]+' | awk '{print $NF}' | sort -u | paste -sd' ' -; }

if [ ${#missing[@]} -gt 0 ]; then
  say "installing ${missing[*]}"
  failed=""
  for attempt in 1 2 3 4; do
    if said=$($sudo apt-get update -q 2>&1); then
      failed=""
      break
    fi
    failed=$(failed_indexes <<<"$said")
    say "apt-get update failed (attempt $attempt of 4): ${failed:-$(tail -n 1 <<<"$said")}"
    [ "$attempt" -lt 4 ] && sleep $((attempt * 15))
  done
  [ -z "$failed" ] || say "going on with the package lists there are"
  apt_install() { DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "$@" 2>&1; }
  if ! said=$(apt_install "${missing[@]}"); then
    # Package by package, to name those that cannot be installed.
    unavailable=()
    for p in "${missing[@]}"; do
      dpkg -s "$p" >/dev/null 2>&1 && continue
      apt_install "$p" >/dev/null || unavailable+=("$p")
    done
    if [ ${#unavailable[@]} -gt 0 ]; then
      reason=$(grep '^E:' <<<"$said" | head -n 1)
      say "FAILED: could not install ${unavailable[*]}${reason:+ (apt-get: ${reason#E: })}; the index that failed: ${failed:-none}"
      exit 1
    fi
  fi
fi

if ! locale -a | grep -qi '^ja_JP.utf-\?8$'; then
  $sudo sed -i 's/^# *ja_JP.UTF-8 UTF-8/ja_JP.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
  $sudo locale-gen >/dev/null || { say "FAILED: locale-gen could not make the ja_JP.UTF-8 locale"; exit 1; }
fi
