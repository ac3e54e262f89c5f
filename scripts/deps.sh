#!/usr/bin/env bash
# Installs every Debian package the build, the tests, the tools and `make run` need; with the
# argument "bench", also the libraries the benchmarks measure us against (`make bench` asks for
# them; the project itself never links them, so CI and `make test` do without).
# Quiet and quick when everything is already there.
set -euo pipefail
packages=(
  build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev python3
  zlib1g-dev libpng-dev libjpeg62-turbo-dev libvorbisidec-dev libvorbis-dev
  libegl-dev libgles-dev libegl-mesa0 libgl1-mesa-dri libx11-dev libxext-dev libasound2-dev
  libgtest-dev libgmock-dev libbenchmark-dev libfreetype-dev fonts-dejavu-core xvfb xauth
)
if [ "${1:-}" = "bench" ]; then
  packages+=(
    libsdl2-dev libsdl2-image-dev libsdl2-mixer-dev libsdl2-gfx-dev libzip-dev libturbojpeg0-dev
    libstb-dev libphysfs-dev libminizip-dev
  )
fi
missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null || true)
  [ "$status" = "installed" ] || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "deps: installing ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
