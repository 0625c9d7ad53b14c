#!/usr/bin/env bash
# Installs, only when missing, the Debian 12 packages Pellucor needs: with no argument what
# building and running need, with --test also the test tools. A second run only checks and
# takes a second. Uses sudo only when something is missing and we are not root already.
set -euo pipefail

build_packages=(
  build-essential cmake pkg-config
  qt6-base-dev libqt6opengl6-dev libgl-dev
  libmpv-dev libx11-dev libxcomposite-dev
  libavformat-dev libavcodec-dev libswresample-dev libavutil-dev libfftw3-dev
  libxcb1-dev libxcb-keysyms1-dev libxcb-xkb-dev libxkbcommon-x11-dev
  libudev-dev libevdev-dev
)

# One package a line, grouped by what needs it, so another test tool is a one-line change.
test_packages=(
  googletest libgtest-dev libgmock-dev               # the test framework
  libxcb-xtest0-dev                                   # tests press keys through XTEST
  xvfb xauth x11-utils x11-apps x11-xserver-utils     # the private display and its probes
  openbox xdotool                                     # window manager, and a user's hands
  ffmpeg fonts-dejavu-core imagemagick                # test media, text, screenshots
  espeak-ng                                           # speech for the alignment's benchmark
  mpv                                                 # benchmarks compare against it
  weston xwayland qt6-wayland                         # Wayland sessions
  dbus dbus-x11 playerctl                             # the session bus, media keys
  xclip                                               # another X client reads the clipboard
  pulseaudio pulseaudio-utils                         # a private sound server, its recorder
  pipewire pipewire-bin wireplumber                   # the other sound server, its recorder
  # The real KDE Plasma 5.27 desktop the portal keys are tested on (label desktop)
  kwin-wayland                                        # KWin, which hosts kglobalaccel
  xdg-desktop-portal                                  # the desktop portal
  xdg-desktop-portal-kde                              # its KDE backend, GlobalShortcuts
  libkf5globalaccel-bin                               # kglobalaccel's service files
  qtwayland5                                          # the KDE backend's Qt 5 on Wayland
  plasma-wayland-protocols                            # KWin's fake input, for key presses
  libwayland-dev                                      # the key presser's client and scanner
  libkf5service-bin                                   # kbuildsycoca5, for KWin's fake input
  clang libclang-rt-14-dev                            # sanitizers and fuzzing
  desktop-file-utils appstream                        # desktop entry and metainfo checks
  dpkg-dev fakeroot file                              # the Debian package
)

case "${1:-}" in
  "") packages=("${build_packages[@]}") ;;
  --test) packages=("${build_packages[@]}" "${test_packages[@]}") ;;
  *) echo "usage: $0 [--test]" >&2; exit 2 ;;
esac

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done

if ((${#missing[@]} == 0)); then
  echo "setup: all packages present"
  exit 0
fi

as_root=()
if ((EUID != 0)); then
  if ! command -v sudo >/dev/null; then
    echo "setup: missing ${missing[*]}; install them as root, or install sudo" >&2
    exit 1
  fi
  as_root=(sudo)
fi
echo "setup: installing ${missing[*]}"
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive \
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
