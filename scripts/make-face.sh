#!/usr/bin/env bash
# Renders the default face drawing into the WebP the interface embeds.
# Needs rsvg-convert (librsvg2-bin) and cwebp (webp). Run again after editing the drawing
# and commit the resulting image beside the page.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
source_svg=${1:-$here/orvia-default.svg}
target=${2:-$here/../OrviaDesktop/Resources/orvia-default.webp}
# The face is shown at up to about 900 px on a 4K screen; 1024 keeps it sharp there.
size=1024

for tool in rsvg-convert cwebp; do
    command -v "$tool" >/dev/null || { echo "make-face: $tool is missing (apt-get install librsvg2-bin webp)" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

rsvg-convert --width "$size" --height "$size" --format png --output "$work/face.png" "$source_svg"
cwebp -quiet -q 82 -alpha_q 90 -m 6 -metadata none "$work/face.png" -o "$work/face.webp"
mv "$work/face.webp" "$target"
echo "make-face: wrote $target ($(stat -c %s "$target") bytes)"
