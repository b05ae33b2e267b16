#!/usr/bin/env bash
# Builds a release and installs it for the current user, without
# administrator rights (the build tools are installed once, by setup.sh,
# which needs them). Running it again upgrades in place; the family's
# records stay.
#   ~/.local/lib/childgrowth/          the program and the database it starts from
#   ~/.local/bin/childgrowth           the launcher
#   $XDG_DATA_HOME/applications, icons, metainfo   the menu entry and its icon
#   $XDG_DATA_HOME/helan-edu/childgrowth/0-3.mdb   the family's records, made on the first start
# (XDG_DATA_HOME defaults to ~/.local/share; a relative one is ignored.)
#   bash scripts/install-user.sh [--build-dir DIR]   DIR: an existing build to install from
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
prefix="$HOME/.local"
data_home="${XDG_DATA_HOME:-}"
[[ "$data_home" == /* ]] || data_home="$HOME/.local/share"
app_id=cn.helan_edu.childgrowth

if [[ "${1:-}" == "--build-dir" ]]; then
  build=$(cd "$2" && pwd)
  cmake --build "$build" -j2 --target childgrowth installed_database makedb
else
  bash "$root/scripts/setup.sh"
  build="$root/build-release"
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF
  cmake --build "$build" -j"$(nproc)"
fi

# Records an earlier install kept beside the program are handed over to the
# user's own copy (packaging/InstallProgram.cmake says how).
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
# What this install put in place, for uninstall-user.sh: CMake's install
# manifest, the moved files named where they are now. It is kept in the
# program folder, which it describes, not in the build folder, which may be
# deleted or be another one by the time the program is removed.
manifest="$prefix/lib/childgrowth/install_manifest.txt"
while IFS= read -r file || [[ -n "$file" ]]; do
  for part in applications icons metainfo; do
    if [[ "$file" == "$prefix/share/$part/"* && ! -e "$file" ]]; then
      file="$data_home/$part/${file#"$prefix/share/$part/"}"
    fi
  done
  printf '%s\n' "$file"
done <"$build/install_manifest.txt" >"$manifest.new"
mv -f "$manifest.new" "$manifest"

if command -v update-desktop-database >/dev/null; then
  update-desktop-database -q "$data_home/applications" || true
fi
if command -v gtk-update-icon-cache >/dev/null && [[ -f "$data_home/icons/hicolor/index.theme" ]]; then
  gtk-update-icon-cache -q -t "$data_home/icons/hicolor" || true
fi

echo
echo "Installed for $(id -un):"
echo "  program:        $prefix/lib/childgrowth/"
echo "  launcher:       $prefix/bin/childgrowth"
echo "  menu entry:     $data_home/applications/$app_id.desktop"
if [[ -f "$prefix/lib/childgrowth/0-3.mdb.installed" ]]; then
  echo "  family records: $data_home/helan-edu/childgrowth/0-3.mdb"
else
  echo "  family records: $prefix/lib/childgrowth/0-3.mdb"
fi
case ":$PATH:" in
  *":$prefix/bin:"*) ;;
  *) echo "  ($prefix/bin is not on your PATH yet; it usually is after logging in again.)" ;;
esac
