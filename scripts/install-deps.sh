#!/usr/bin/env bash
# Installs what building and testing Kalvor needs on Debian 12, if missing.
set -euo pipefail
packages=(cmake make g++ pkg-config qt6-base-dev libsnmp-dev libgit2-dev git nlohmann-json3-dev fonts-dejavu-core desktop-file-utils
  xvfb qt6-qpa-plugins)
missing=()
for package in "${packages[@]}"; do
  dpkg -s "$package" >/dev/null 2>&1 || missing+=("$package")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [[ $(id -u) -ne 0 ]] && sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}"
fi
