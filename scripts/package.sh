#!/usr/bin/env bash
# Installs what is missing, builds Kalvor for release in build-release/ and
# makes its Debian packages there: kalvorctl (no display needed), kalvor (the
# windows, depends on kalvorctl) and kalvor-sim, each
# <name>_<version>_<arch>.deb. Their dependencies come from dpkg-shlibdeps.
# Runs lintian on them where it is installed (a tag fails the script).
# Extra arguments go to CMake.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${KALVOR_BUILD_DIR:-$root/build-release}
bash "$root/scripts/install-deps.sh"
# dpkg-shlibdeps, which works out the packages' dependencies.
if ! dpkg -s dpkg-dev >/dev/null 2>&1; then
  echo "Installing: dpkg-dev"
  sudo_cmd=()
  [[ $(id -u) -ne 0 ]] && sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq dpkg-dev
fi
cmake -S "$root" -B "$build_dir" -DCMAKE_BUILD_TYPE=Release -DKALVOR_BUILD_TESTS=OFF "$@" >/dev/null
cmake --build "$build_dir" -j"$(nproc)"
version=$(sed -n 's/^project(Kalvor VERSION \([^ ]*\) .*/\1/p' "$root/CMakeLists.txt")
rm -f "$build_dir"/*.deb
(cd "$build_dir" && cpack -G DEB)
debs=("$build_dir"/*_"$version"_*.deb)
echo
for deb in "${debs[@]}"; do
  echo "Package: $deb"
  dpkg-deb --field "$deb" Package Version Architecture Depends
  echo
done
if command -v lintian >/dev/null; then
  lintian --fail-on warning,error "${debs[@]}"
  echo "lintian: no tags"
else
  echo "lintian is not installed: packages not checked"
fi
echo "Install them with: sudo apt install ${debs[*]}"
