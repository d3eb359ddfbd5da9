#!/usr/bin/env bash
# Builds the Debian package into build-package/ and checks it with lintian.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-package"
"$root/scripts/install-dependencies.sh"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DCMAKE_INSTALL_PREFIX=/usr >/dev/null
cmake --build "$build" -j"$(nproc)"
(cd "$build" && cpack -G DEB >/dev/null)
package=$(ls "$build"/orvia-desktop_*.deb)
echo "package: $package"
lintian --tag-display-limit 0 --fail-on error "$package"
