#!/bin/sh
# Renders the PNG sizes of the application icon from its SVG. Run after changing the SVG
# and commit the results; needs rsvg-convert (Debian package librsvg2-bin).
set -eu
cd "$(dirname "$0")/hicolor"
name=io.github.vrxconfig.VrxConfig
for size in 16 22 24 32 48 64 128 256; do
    mkdir -p "${size}x${size}/apps"
    rsvg-convert --width "$size" --height "$size" --output "${size}x${size}/apps/$name.png" "scalable/apps/$name.svg"
done
