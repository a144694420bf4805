#!/usr/bin/env bash
# Installs the Debian 12 packages that Kelvo's build, tests and tools need, and nothing when they are
# all present already. Runs apt-get through sudo when the caller is not root.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config clang-format clang-tidy
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-base-dev-tools qt6-l10n-tools qt6-translations-l10n libgl-dev libudev-dev
  socat iaxmodem xvfb xauth
  fonts-dejavu-core imagemagick
  python3 lua5.4 valgrind
  nlohmann-json3-dev python3-jsonschema ansible-core
  dpkg-dev librsvg2-bin lintian desktop-file-utils appstream man-db bsdextrautils
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

as_root=()
if [ "$(id -u)" -ne 0 ]; then as_root=(sudo); fi
echo "Installing: ${missing[*]}"
"${as_root[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
