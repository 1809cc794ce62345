#!/usr/bin/env bash
# Installs everything Pellorin needs to build, run and test on Debian 12.
set -euo pipefail
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends \
  build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev clang-format \
  libgtest-dev libgmock-dev libbenchmark-dev \
  libwxgtk3.2-dev libgtk-3-dev libx11-dev libxcb1-dev \
  xvfb openbox x11-utils xdotool imagemagick fonts-dejavu-core \
  tshark iproute2 libcap2-bin procps
