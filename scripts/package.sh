#!/usr/bin/env bash
# Installs what is missing, builds Kalvor for release in build-release/ and
# makes the Debian package there (kalvor_<version>_<arch>.deb). Its
# dependencies come from dpkg-shlibdeps. Extra arguments go to CMake.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${KALVOR_BUILD_DIR:-$root/build-release}
bash "$root/scripts/install-deps.sh"
# dpkg-shlibdeps, which works out the package's dependencies.
if ! dpkg -s dpkg-dev >/dev/null 2>&1; then
  echo "Installing: dpkg-dev"
  sudo_cmd=()
  [[ $(id -u) -ne 0 ]] && sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq dpkg-dev
fi
cmake -S "$root" -B "$build_dir" -DCMAKE_BUILD_TYPE=Release -DKALVOR_BUILD_TESTS=OFF "$@" >/dev/null
cmake --build "$build_dir" -j"$(nproc)"
(cd "$build_dir" && cpack -G DEB)
deb=$(ls -t "$build_dir"/kalvor_*.deb | head -n 1)
echo
echo "Package: $deb"
dpkg-deb --field "$deb" Package Version Architecture Depends
echo "Install it with: sudo apt install $deb"
