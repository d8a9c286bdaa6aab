#!/usr/bin/env bash
# Renders the PNG sizes of the application icon from its SVG (rsvg-convert, librsvg2-bin).
# Run after a change to dist/icons/org.orvj.ORVJuvenile.svg and commit the PNG files.
set -euo pipefail
cd "$(dirname "$0")/../dist/icons"
for size in 48 64 128 256; do
  mkdir -p "${size}x${size}"
  rsvg-convert -w "$size" -h "$size" org.orvj.ORVJuvenile.svg -o "${size}x${size}/org.orvj.ORVJuvenile.png"
done
