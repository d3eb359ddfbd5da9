#!/usr/bin/env bash
# Builds the kiosk as of BASE, and once more for each COMMIT with that commit's change alone on top
# of BASE, into build-each-change/NAME/, and prints the kiosk_vs_floor.py options that run them all
# in the same rounds:
#   python3 bench/kiosk_vs_floor.py $(bench/each_change.sh BASE NAME=COMMIT ...)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$root/build-each-change
base=$1
shift
rm -rf "$out"
mkdir -p "$out/source"
git -C "$root" archive "$base" | tar -x -C "$out/source"
cmake -S "$out/source" -B "$out/build" -DCMAKE_BUILD_TYPE=Release -DORVIA_MOCK_CAPTURE_DEVICES=OFF \
    -DBUILD_TESTING=OFF >/dev/null

# The program as the source stands now, with its bundle beside it.
keep() {
    cmake --build "$out/build" -j2 --target OrviaDesktop >/dev/null
    mkdir -p "$out/$1"
    cp "$out/build/OrviaDesktop" "$out/$1/"
    cp -r "$out/build/OrviaDesktop_OrviaDesktop.bundle" "$out/$1/"
    printf -- '--kiosk %s=%s ' "$1" "$out/$1/OrviaDesktop"
}

keep base
for change in "$@"; do
    name=${change%%=*}
    # Put in and taken out again as a patch, so that each file it touches is newer than its last build.
    git -C "$root" diff "${change#*=}^" "${change#*=}" >"$out/$name.patch"
    patch -s -d "$out/source" -p1 <"$out/$name.patch"
    keep "$name"
    patch -s -R -E -d "$out/source" -p1 <"$out/$name.patch"
done
echo
