#!/usr/bin/env bash
# Installs every build, test and run-time dependency from Debian packages.
# Idempotent: packages already present are skipped by apt.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config clang clang-format
  libclang-rt-14-dev
  qt6-base-dev libgl-dev qt6-translations-l10n
  libcurl4-openssl-dev
  libsimpleini-dev
  libxlsxwriter-dev libminizip-dev zlib1g-dev libexpat1-dev libfreexl-dev
  libcpp-httplib-dev libcli11-dev nlohmann-json3-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  fonts-wqy-microhei xvfb xauth python3
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: all packages present"
  exit 0
fi

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
