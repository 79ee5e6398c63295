#!/bin/sh
# Installs the Debian packages that the build, the tests and the game need,
# only those that are missing. Works as root, or as a user with sudo.
set -eu

packages="
g++
cmake
ninja-build
pkg-config
libgtest-dev
libgmock-dev
libbenchmark-dev
libsdl2-dev
libx11-dev
libasound2-dev
libgl-dev
libegl1
libegl-mesa0
libgl1-mesa-dri
libpixman-1-dev
zlib1g-dev
libpng-dev
libjpeg-dev
libvorbis-dev
libtheora-dev
libavcodec-dev
libavutil-dev
libavformat-dev
libswscale-dev
libswresample-dev
libfreetype-dev
libfontconfig-dev
libtinyxml-dev
fonts-ipafont-gothic
fonts-ipafont-mincho
"

missing=""
for package in $packages; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  case "$status" in
    *"install ok installed"*) ;;
    *) missing="$missing $package" ;;
  esac
done

[ -z "$missing" ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
  as_root=""
elif command -v sudo >/dev/null 2>&1; then
  as_root="sudo"
else
  echo "setup: these packages are missing and neither root nor sudo is available:$missing" >&2
  exit 1
fi

echo "setup: installing$missing"
export DEBIAN_FRONTEND=noninteractive
$as_root apt-get update -q
$as_root apt-get install -y -q --no-install-recommends $missing
