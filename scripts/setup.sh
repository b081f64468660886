#!/usr/bin/env bash
# Installs the Debian packages Trotix needs, when they are missing, and says which.
#   setup.sh play   what building and playing need (make run)
#   setup.sh test   that, and the test tools: X server, window manager and input driving, a Wayland
#                   compositor, a sound server that records (pulseaudio, parec), compilers and
#                   checkers of the sanitizer, fuzz and benchmark runs, a faster linker, the package
#                   checkers, the formatter (make test)
#   setup.sh PKG... exactly these packages
# Runs apt-get as root, through sudo otherwise. Safe to run again: it installs nothing present.
set -euo pipefail

play=(
  cmake g++ make pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6network6 libqt6dbus6 libqt6test6
  qt6-qpa-plugins libgl-dev libpng-dev libxcb1-dev qt6-multimedia-dev libsndfile1-dev libsdl2-dev
  fonts-urw-base35 fonts-dejavu-core fontconfig qt6-wayland
)
test_tools=(
  python3 xvfb xauth xdotool openbox x11-utils weston imagemagick
  clang libclang-rt-dev lld valgrind libbenchmark-dev clang-format-19
  desktop-file-utils appstream dpkg-dev file lintian
  iproute2 dbus avahi-daemon avahi-utils pulseaudio pulseaudio-utils
)

what=${1:-play}
case "$what" in
  play) packages=("${play[@]}") ;;
  test) packages=("${play[@]}" "${test_tools[@]}") ;;
  *) packages=("$@"); what="listed" ;;
esac

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ "${#missing[@]}" -eq 0 ]; then
  echo "trotix setup: all $what packages are installed."
  exit 0
fi

echo "trotix setup: installing missing $what packages: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  as_root=()
elif command -v sudo >/dev/null 2>&1; then
  echo "trotix setup: not root, using sudo (it may ask for your password)."
  as_root=(sudo)
else
  echo "trotix setup: not root and no sudo: please install as root: apt-get install ${missing[*]}" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -q
"${as_root[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
echo "trotix setup: done."
