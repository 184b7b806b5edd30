#!/usr/bin/env bash
# Renders the application icon's PNG sizes from desktop/icons/tavlin.svg.
# Run after changing the drawing and commit the PNGs with it; needs
# rsvg-convert (Debian package librsvg2-bin, installed by install-deps.sh).
set -euo pipefail
cd "$(dirname "$0")/../desktop/icons"
for size in 16 22 24 32 48 64 128 256; do
  rsvg-convert --width "$size" --height "$size" --output "tavlin-$size.png" tavlin.svg
done
