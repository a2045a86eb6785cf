#!/usr/bin/env bash
# Installs the program, its desktop entry, its icon and the .tnf file type, once, for all
# users (as root) or for the calling user (PREFIX=$HOME/.local). Nothing is written into the
# home folder when the program starts.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
prefix=${PREFIX:-/usr/local}
build=${BUILD:-$top/build}
install -Dm755 "$build/src/app/vrl" "$prefix/bin/vrl"
install -Dm644 "$top/packaging/vrl.desktop" "$prefix/share/applications/vrl.desktop"
install -Dm644 "$top/packaging/vrl.svg" "$prefix/share/icons/hicolor/scalable/apps/vrl.svg"
install -Dm644 "$top/packaging/vrl-mime.xml" "$prefix/share/mime/packages/vrl.xml"
command -v update-mime-database >/dev/null && update-mime-database "$prefix/share/mime" || true
command -v update-desktop-database >/dev/null && update-desktop-database "$prefix/share/applications" || true
echo "VRL installed under $prefix"
