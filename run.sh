#!/usr/bin/env bash
# Builds Velumo (release) and starts it. Without a display it runs the
# bundled example design through velumo-sim instead.
set -euo pipefail
cd "$(dirname "$0")"

scripts/setup-deps.sh
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DVELUMO_BUILD_TESTS=OFF -DVELUMO_BUILD_BENCH=OFF >/dev/null
cmake --build build/release -j"$(nproc)"

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
  echo "Kein Bildschirm gefunden (DISPLAY ist leer): rechne das Beispiel examples/bass-horn.vlm mit velumo-sim."
  out="build/example-output"
  mkdir -p "$out"
  build/release/cli/velumo-sim examples/bass-horn.vlm --out "$out"
  echo "Ergebnisse: $out/data.txt und $out/contour.txt"
  exit 0
fi
exec build/release/app/velumo "$@"
