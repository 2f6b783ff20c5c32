#!/usr/bin/env bash
# Installs every Debian package Velaport needs to build, run and test.
# Idempotent: apt-get update runs only when a package is missing.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build ccache pkg-config git
  libjsoncpp-dev
  libavcodec-dev libavformat-dev libavutil-dev libswscale-dev ffmpeg
  libx264-dev
  libsdl2-dev libsdl2-image-dev
  libcurl4-openssl-dev libcrypto++-dev libtinyxml2-dev libqrencode-dev
  libx11-dev libxext-dev libxtst-dev libxrandr-dev libxinerama-dev x11-utils xdotool xclip
  libgtk-3-dev libayatana-appindicator3-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb openbox fonts-noto-cjk fonts-dejavu-core imagemagick
  iproute2 procps psmisc dbus-daemon dbus-bin
  clang libclang-rt-14-dev
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  echo "installing: ${missing[*]}"
  SUDO=""
  [[ $(id -u) -ne 0 ]] && SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -q
  $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
