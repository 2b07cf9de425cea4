#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the window need.
# Does nothing when everything is already there.
set -euo pipefail

packages=(
  cmake g++ make pkg-config
  qt6-base-dev qt6-svg-dev libqcustomplot-dev libqcustomplot2.1-qt6
  fonts-ipafont-gothic fonts-noto-cjk xvfb xauth imagemagick
  libgtest-dev libgmock-dev libbenchmark-dev libeigen3-dev libnlopt-cxx-dev libceres-dev parallel poppler-utils
  qt6-translations-l10n fonts-ipafont-mincho xdotool
  emf2svg librsvg2-bin libwmf-bin fonts-urw-base35 libmagickcore-6.q16-6-extra
  dpkg-dev file desktop-file-utils appstream libxml2-utils bash-completion  # the .deb (cpack, dpkg-shlibdeps) and its install test
  clang-16 libclang-rt-16-dev llvm-16  # fuzz/: libFuzzer and the sanitizers (clang 14 cannot build the code against libstdc++ 12)
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  sudo_cmd=()
  if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
  "${sudo_cmd[@]}" apt-get update
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi
