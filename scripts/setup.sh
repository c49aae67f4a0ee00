#!/usr/bin/env bash
# Installs what building and testing the changer needs on Debian 12, and skips
# whatever is already there, so a second run costs only a few seconds.
set -euo pipefail

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

packages=(
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
  binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
  wine wine32:i386 wine64
  xvfb x11-apps x11-utils imagemagick xdotool
  locales fonts-ipafont googletest cmake make
  # xmllint: the manual's pages are checked as XML.
  libxml2-utils
  # Video: Wine's DirectShow decodes through GStreamer (-bad reads MPEG
  # program streams, -ugly ASF/WMV, -libav holds the decoders); the 32-bit
  # plugins serve the 32-bit Wine. With both installed a package's bare
  # name is ambiguous to dpkg, hence the explicit :amd64. ffmpeg writes the
  # tests' clips.
  gstreamer1.0-plugins-base:amd64 gstreamer1.0-plugins-good:amd64 gstreamer1.0-plugins-bad:amd64
  gstreamer1.0-plugins-ugly:amd64 gstreamer1.0-libav:amd64
  gstreamer1.0-plugins-base:i386 gstreamer1.0-plugins-good:i386 gstreamer1.0-plugins-bad:i386
  gstreamer1.0-plugins-ugly:i386 gstreamer1.0-libav:i386
  ffmpeg
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg -s "$p" >/dev/null 2>&1; then missing+=("$p"); fi
done

if [ "${#missing[@]}" -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
  fi
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq "${missing[@]}"
fi

# The Japanese locale gives Wine the ANSI code page 932.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  echo "setup: generating ja_JP.UTF-8"
  $SUDO sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  $SUDO locale-gen >/dev/null
fi
echo "setup: ready"
