#!/usr/bin/env bash
# Installs what building and testing need, from Debian's packages, when it is missing.
# The Wayland port needs libwayland-client, libxkbcommon and wayland-scanner (libwayland-dev).
# The window needs Qt 6 Widgets (its tests run offscreen with Qt Test) and a font with
# every glyph of its German texts (DejaVu).
# --with-calc adds what the end-to-end test against LibreOffice Calc needs.
set -euo pipefail

packages=(g++ cmake make pkg-config libgtest-dev libcli11-dev clang-format libx11-dev libxtst-dev libevdev-dev libwayland-dev libxkbcommon-dev qt6-base-dev fonts-dejavu-core xvfb x11-xkb-utils xkb-data)
[[ ${1-} == --with-calc ]] && packages+=(libreoffice-calc libreoffice-gtk3 sway python3-uno xdotool)
missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
        missing+=("$package")
done
if ((${#missing[@]})); then
    as_root=()
    [[ $(id -u) -eq 0 ]] || as_root=(sudo)
    export DEBIAN_FRONTEND=noninteractive
    "${as_root[@]}" apt-get update -q
    "${as_root[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
