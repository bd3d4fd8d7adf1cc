#!/usr/bin/env bash
# Installs every Debian package that the build, the game and the tests need.
# Idempotent and quiet when everything is already there.
set -euo pipefail

PACKAGES=(
  build-essential g++ cmake make pkg-config git
  libsdl2-dev libsdl2-image-dev libsdl2-ttf-dev libsdl2-mixer-dev libasound2-dev
  libplist-dev libplist++-dev libplist-utils
  nlohmann-json3-dev libcurl4-openssl-dev libsqlite3-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  fonts-dotgothic16 fonts-wqy-microhei fontconfig
  python3 sox xvfb xauth xdotool imagemagick libnotify-bin
  libsox-fmt-mp3 libnotify-dev
  dpkg-dev file lintian desktop-file-utils appstream
  clang-14 libclang-rt-14-dev
  dbus-daemon python3-dbus python3-gi
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
