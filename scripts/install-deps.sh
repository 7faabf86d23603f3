#!/usr/bin/env bash
# Installs the Debian packages Tavlo needs to build, run and test, if any is missing.
# Uses apt-get as root, sudo otherwise. Does nothing when everything is present.
set -euo pipefail

packages=(
  cmake g++ make pkg-config ccache
  qt6-base-dev qt6-base-dev-tools libgl-dev qt6-image-formats-plugins qt6-svg-dev
  libwmf-dev libemf2svg-dev
  # libwmf cannot draw a metafile without its fonts, which Debian only recommends.
  fonts-urw-base35
  # GIF and PNG writers (giflib also decodes the GIFs written, in the tests).
  libgif-dev libpng-dev
  # Lab swatches of palette files are converted by Little CMS.
  liblcms2-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev
  fonts-dejavu-core python3
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing packages: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then sudo_cmd=(); else sudo_cmd=(sudo); fi
export DEBIAN_FRONTEND=noninteractive
# apt may be busy with an unattended upgrade right after boot; wait for its lock.
for _ in $(seq 1 60); do
  if "${sudo_cmd[@]}" apt-get update -qq; then break; fi
  sleep 5
done
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends -o DPkg::Lock::Timeout=300 "${missing[@]}"
