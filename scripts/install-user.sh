#!/usr/bin/env bash
# Builds a release and installs it for the current user, without
# administrator rights. Running it again upgrades in place; the family's
# records stay.
#   ~/.local/lib/childgrowth/          the program and the family's database
#   ~/.local/bin/childgrowth           the launcher
#   $XDG_DATA_HOME/applications, icons, metainfo   the menu entry and its icon
# (XDG_DATA_HOME defaults to ~/.local/share.)
#   bash scripts/install-user.sh [--build-dir DIR]   DIR: an existing build to install from
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
prefix="$HOME/.local"
data_home="${XDG_DATA_HOME:-$HOME/.local/share}"
app_id=cn.helan_edu.childgrowth

if [[ "${1:-}" == "--build-dir" ]]; then
  build=$(cd "$2" && pwd)
  cmake --build "$build" -j2 --target childgrowth installed_database packaging_docs
else
  bash "$root/scripts/setup.sh"
  build="$root/build-release"
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF
  cmake --build "$build" -j"$(nproc)"
fi

# An existing database beside the program is the family's: the install step
# brings it up to date and keeps every child and month.
cmake --install "$build" --prefix "$prefix"

# The menu entry, icons and metainfo belong in the user's data folder.
if [[ "$(realpath -m "$data_home")" != "$(realpath -m "$prefix/share")" ]]; then
  for part in applications icons metainfo; do
    [[ -d "$prefix/share/$part" ]] || continue
    mkdir -p "$data_home/$part"
    cp -a "$prefix/share/$part/." "$data_home/$part/"
  done
  rm -f "$prefix/share/applications/$app_id.desktop" "$prefix/share/metainfo/$app_id.metainfo.xml"
  find "$prefix/share/icons/hicolor" -name "$app_id.png" -delete 2>/dev/null || true
fi
if command -v update-desktop-database >/dev/null; then
  update-desktop-database -q "$data_home/applications" || true
fi
if command -v gtk-update-icon-cache >/dev/null && [[ -f "$data_home/icons/hicolor/index.theme" ]]; then
  gtk-update-icon-cache -q -t "$data_home/icons/hicolor" || true
fi

echo
echo "Installed for $(id -un):"
echo "  program and database: $prefix/lib/childgrowth/"
echo "  launcher:             $prefix/bin/childgrowth"
echo "  menu entry:           $data_home/applications/$app_id.desktop"
case ":$PATH:" in
  *":$prefix/bin:"*) ;;
  *) echo "  ($prefix/bin is not on your PATH yet; it usually is after logging in again.)" ;;
esac
