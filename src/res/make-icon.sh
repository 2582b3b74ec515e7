#!/usr/bin/env bash
# Redraws the application icon (vornak.png, vornak.ico) with ImageMagick:
# a blue rounded square with a white download arrow.
set -euo pipefail
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
convert -size 256x256 xc:none \
  -fill '#1f6feb' -draw 'roundrectangle 8,8 247,247 48,48' \
  -fill white -draw 'polygon 128,212 56,124 100,124 100,44 156,44 156,124 200,124' \
  -depth 8 -strip PNG32:vornak.png
layers=()
for s in 16 24 32 48 64; do
  convert vornak.png -resize "${s}x${s}" -strip "PNG32:$work/$s.png"
  layers+=("$work/$s.png")
done
convert "${layers[@]}" vornak.png -strip vornak.ico
