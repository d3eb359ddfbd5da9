#!/usr/bin/env bash
# Installs what building, running and testing OrviaDesktop needs on Debian 12, if missing.
# With --list, prints the packages instead.
set -euo pipefail

packages=(
    apt build-essential cmake pkg-config python3 git
    libgtk-3-dev libwebkit2gtk-4.1-dev libcurl4-openssl-dev nlohmann-json3-dev libxss-dev libxtst-dev libxcb1-dev
    libgtest-dev libgmock-dev
    bubblewrap xdg-dbus-proxy
    xvfb openbox xdotool wmctrl x11-utils x11-xserver-utils imagemagick dbus dbus-x11
    desktop-file-utils openssl ca-certificates chromium clang libclang-rt-14-dev
    dpkg-dev lintian xcompmgr shfmt
    xfwm4 kwin-x11 mutter xwayland pulseaudio pulseaudio-utils
)

if [ "${1:-}" = --list ]; then
    printf '%s\n' "${packages[@]}"
    exit 0
fi

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

run_as_root=()
[ "$(id -u)" -eq 0 ] || run_as_root=(sudo)
echo "Installing: ${missing[*]}"
"${run_as_root[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${run_as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
