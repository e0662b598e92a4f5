#!/usr/bin/env bash
# Renders the theme PNGs from the SVG; run after editing the SVG and commit the results.
# The explicit stroke="none" on the SVG keeps ImageMagick's own renderer from outlining shapes.
set -euo pipefail
cd "$(dirname "$0")"
for size in 48 64 128 256; do
    mkdir -p "hicolor/${size}x${size}/apps"
    convert -background none -density $((72 * size / 32)) net.tavrin.Veltaro.svg -resize "${size}x${size}" -strip \
        "PNG32:hicolor/${size}x${size}/apps/net.tavrin.Veltaro.png"
done
