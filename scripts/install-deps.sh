#!/usr/bin/env bash
# Installs the Debian packages Tavlo needs to build, run, test, benchmark and package, if any is
# missing. Uses apt-get as root, sudo otherwise. Does nothing when everything is present.
# Packages are installed without their recommendations, so whatever the program needs of a
# recommendation is named here itself (the metafile fonts, for one).
set -euo pipefail

packages=(
  # build
  cmake g++ make pkg-config ccache lld
  qt6-base-dev qt6-base-dev-tools libgl-dev qt6-svg-dev
  # the metafile readers, and what libwmf's link flags name (-lexpat -ljpeg -lpng -lz -lX11
  # -lfreetype) but its -dev package does not pull in
  libwmf-dev libemf2svg-dev libexpat1-dev libjpeg-dev libpng-dev zlib1g-dev libx11-dev
  libfreetype-dev
  # giflib, which decodes the frames of animated GIFs (and, in the tests, the GIFs written); Little CMS for the
  # Lab swatches of palette files; libdeflate, under the PNG decoder of photos
  libgif-dev liblcms2-dev libdeflate-dev
  # run: the picture formats beyond Qt's own, and the fonts libwmf draws every metafile with
  qt6-image-formats-plugins fonts-urw-base35 fonts-dejavu-core
  # tests: GoogleTest, the sanitizers and libFuzzer, the independent readers, the validators
  # of the installed desktop entry and metadata, the MIME database tools that check the file
  # types it opens, a throwaway user for the installed-tree test
  googletest libgtest-dev libgmock-dev clang libclang-rt-14-dev python3 python3-pil
  desktop-file-utils appstream shared-mime-info xdg-utils libglib2.0-bin
  binutils passwd util-linux
  # packaging: CPack's Debian generator and dpkg-shlibdeps
  dpkg-dev file
  # benchmarks and the peers they are measured against; numpy for the shared loss figures of the
  # lossy comparison
  libbenchmark-dev imagemagick libmagickwand-6.q16-dev libimagequant-dev pngquant gifsicle
  mate-backgrounds python3-numpy
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
# apt may be busy with an unattended upgrade right after boot, or with another build on the same
# machine: wait for its locks rather than fail.
for _ in $(seq 1 60); do
  if "${sudo_cmd[@]}" apt-get update -qq -o DPkg::Lock::Timeout=300; then break; fi
  sleep 5
done
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends -o DPkg::Lock::Timeout=900 \
  "${missing[@]}"
