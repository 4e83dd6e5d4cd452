#!/usr/bin/env bash
# Installs everything the build, the tests and the demo need on Debian 12 or Ubuntu, without
# questions. Safe to run again: when every package is present it only checks and returns.
set -euo pipefail

packages=(
  g++ cmake make git clang libclang-rt-14-dev clang-format python3 ccache
  g++-multilib qemu-user  # the native32 build; 32-bit programs where the kernel runs none
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
  wine wine64 wine32:i386 fonts-wine fonts-wqy-zenhei
  xvfb xauth x11-utils imagemagick util-linux
  fp-utils-3.2.2 nsis
  time
  chromium
  pkg-config libsmbclient-dev samba smbclient
  zlib1g-dev zlib1g-dev:i386 libz-mingw-w64-dev
  nodejs  # the library export's test, which installs DuckDB from npm into the build tree
)
# Debian's node comes without npm; a node of other origin may bring its own.
if ! command -v npm >/dev/null; then
  packages+=(npm)
fi

# One query for the common case: everything there (dpkg-query fails when a name is unknown).
if statuses=$(dpkg-query -W -f='${db:Status-Status}\n' "${packages[@]}" 2>/dev/null) &&
  ! grep -qvx installed <<<"$statuses"; then
  echo "install-deps: everything is installed"
  exit 0
fi

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
if [[ ${#missing[@]} -eq 0 ]]; then
  echo "install-deps: everything is installed"
  exit 0
fi

echo "install-deps: installing ${missing[*]}"
sudo=()
if [[ $(id -u) -ne 0 ]]; then
  if ! command -v sudo >/dev/null; then
    echo "install-deps: run as root (or install sudo) to install: ${missing[*]}" >&2
    exit 1
  fi
  sudo=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
# wine32 is an i386 package; 64-bit Wine needs the same architecture for its 32-bit half.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${sudo[@]}" dpkg --add-architecture i386
fi
apt_options=(-y -q -o DPkg::Lock::Timeout=600)
"${sudo[@]}" apt-get "${apt_options[@]}" update
"${sudo[@]}" apt-get "${apt_options[@]}" install --no-install-recommends "${missing[@]}"
