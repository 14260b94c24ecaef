#!/bin/sh
# Renders the program icon for the desktop: the 256-pixel PNG that goes into the
# hicolor icon theme beside the SVG itself (needs rsvg-convert from librsvg2-bin).
# Commit the PNG together with the drawing.
set -eu
cd "$(dirname "$0")"
rsvg-convert -w 256 -h 256 -o icon-256.png ../resources/icon/src/app.svg
