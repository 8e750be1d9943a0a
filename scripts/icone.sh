#!/usr/bin/env bash
# Renders the 64 x 64 PNG icon from packaging/lumicom.svg. Run by hand after changing the
# drawing; the PNG is kept in the repository so that a build needs no SVG renderer.
set -euo pipefail
racine="$(cd "$(dirname "$0")/.." && pwd)"
if ! command -v rsvg-convert >/dev/null; then
    echo "rsvg-convert manque : apt-get install librsvg2-bin" >&2
    exit 1
fi
rsvg-convert -w 64 -h 64 "$racine/packaging/lumicom.svg" -o "$racine/packaging/lumicom-64.png"
echo "Icône refaite : packaging/lumicom-64.png"
