#!/usr/bin/env bash
# Installs VRL from a build (default build/) with `cmake --install`, then tells the desktop
# about the new menu entry, icons and file type. For all users as root (PREFIX=/usr/local),
# or for the calling user with PREFIX=$HOME/.local. DESTDIR is honoured (the caches are then
# left to whoever installs the tree). `install.sh --uninstall` removes what the last install
# from that build put there. On Debian, scripts/package and apt are the better way.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
prefix=${PREFIX:-/usr/local}
build=${BUILD:-$top/build}
manifest="$build/install_manifest.txt"

refresh_caches() {
  [[ -n "${DESTDIR:-}" ]] && return 0
  command -v update-mime-database >/dev/null && update-mime-database "$prefix/share/mime" || true
  command -v update-desktop-database >/dev/null && update-desktop-database "$prefix/share/applications" || true
  command -v gtk-update-icon-cache >/dev/null && gtk-update-icon-cache -q -t "$prefix/share/icons/hicolor" || true
}

if [[ "${1:-}" == "--uninstall" ]]; then
  [[ -f "$manifest" ]] || { echo "Nothing recorded in $manifest" >&2; exit 1; }
  # The manifest's last line has no line feed.
  while IFS= read -r file || [[ -n "$file" ]]; do
    rm -f -- "${DESTDIR:-}$file"
  done < "$manifest"
  refresh_caches
  echo "VRL removed from ${DESTDIR:-}$prefix"
  exit 0
fi

cmake --build "$build" --target vrl vrl-desktop-files
cmake --install "$build" --prefix "$prefix"
refresh_caches
echo "VRL installed under ${DESTDIR:-}$prefix"
