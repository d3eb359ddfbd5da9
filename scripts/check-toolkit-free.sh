#!/usr/bin/env bash
# The application sees the system only through the platform layer: no toolkit header under
# OrviaDesktop/.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
pattern='^\s*#\s*include\s*[<"](gtk/|gdk/|gdk-pixbuf/|webkit2?/|webkitgtk|JavaScriptCore/|jsc/|glib|gio/|gobject/|curl/|X11/)'
if offenders=$(grep -rnE "$pattern" "$root/OrviaDesktop"); then
    echo "toolkit headers included by the application code:" >&2
    echo "$offenders" >&2
    exit 1
fi
echo "toolkit-free: OrviaDesktop/ includes no GTK, GDK, WebKit, JavaScriptCore, GLib, curl or X11 header"
