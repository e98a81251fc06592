#!/usr/bin/env bash
# Installs the Debian packages the build needs, only when one is missing.
set -euo pipefail

packages=(cmake g++ make qt6-base-dev qt6-svg-dev libjpeg62-turbo-dev libgtest-dev libgmock-dev
          libbenchmark-dev clang clang-format libclang-rt-14-dev)
# velumo-sim --json writes its file with the header-only JSON library.
packages+=(nlohmann-json3-dev)
# velumo-sim --optimise searches with NLopt, the standard library of
# derivative-free optimisers; it loads the C library when an optimisation
# starts, and builds against its header.
packages+=(libnlopt-dev)
# Qt's own dialogs and buttons speak German only with its translations.
packages+=(qt6-translations-l10n)
# The install test checks the desktop entry and the file type with the
# desktop's tools (xdg-mime reads the MIME database through mimetype);
# cpack -G DEB needs dpkg-shlibdeps and file.
packages+=(desktop-file-utils shared-mime-info xdg-utils libfile-mimeinfo-perl dpkg-dev file)
if [[ "${VELUMO_NEED_XVFB:-0}" == 1 ]]; then
  packages+=(xvfb xauth)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if ((${#missing[@]} > 0)); then
  echo "Installiere fehlende Pakete: ${missing[*]}"
  SUDO=""
  if [[ $(id -u) -ne 0 ]]; then SUDO="sudo"; fi
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
