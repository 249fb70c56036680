#!/usr/bin/env bash
# Installs the Debian packages that building, playing or testing needs, and only those missing.
# Usage: scripts/install-deps.sh play|test|release
set -euo pipefail

build_packages=(cmake ninja-build g++ pkg-config libsdl2-dev libgl-dev liblodepng-dev libboost-dev libssl-dev)
# What the game needs at run time beyond the libraries above: the X server's core fonts, which
# the fullscreen question is drawn with (X servers only recommend them).
run_packages=(xfonts-base)
test_packages=(clang libclang-rt-14-dev libgtest-dev libgmock-dev libbenchmark-dev libcairo2-dev
    g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 dpkg-dev
    wine wine64 xvfb xauth xdotool x11-utils imagemagick pulseaudio pulseaudio-utils sox valgrind openmpt123 xmp
    lintian appstream desktop-file-utils icoutils unzip fakeroot file curl openssl
    emscripten chromium chromium-driver python3-selenium python3-pil)
# Packing the releases: the Windows cross build, and the Debian package's dependency scan (CPack
# finds the executables with `file` and their libraries with dpkg-shlibdeps).
release_packages=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 dpkg-dev file)

wanted=("${build_packages[@]}" "${run_packages[@]}")
case ${1:-play} in
test) wanted+=("${test_packages[@]}") ;;
release) wanted+=("${release_packages[@]}") ;;
esac

missing=()
for p in "${wanted[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && { echo "== all needed packages are installed"; exit 0; }

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "== installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
