#!/usr/bin/env bash
# Removes what scripts/install-user.sh installed: the program, the launcher,
# the menu entry, the icons. The family's records stay where they are.
set -euo pipefail
prefix="$HOME/.local"
data_home="${XDG_DATA_HOME:-}"
[[ "$data_home" == /* ]] || data_home="$HOME/.local/share"
app_id=cn.helan_edu.childgrowth
program_dir="$prefix/lib/childgrowth"

launcher="$prefix/bin/childgrowth"
if [[ -L "$launcher" && "$(readlink "$launcher")" == *lib/childgrowth/childgrowth ]]; then
  rm -f "$launcher"
fi
# The installed database is the empty one an own copy starts from; one that
# is not marked so holds an earlier install's records and stays.
if [[ -f "$program_dir/0-3.mdb.installed" ]]; then
  rm -f "$program_dir/0-3.mdb" "$program_dir/0-3.mdb.installed"
fi
rm -f "$program_dir/childgrowth" "$program_dir/0-3.mdb.version"
for share in "$data_home" "$prefix/share"; do
  rm -f "$share/applications/$app_id.desktop" "$share/metainfo/$app_id.metainfo.xml"
  find "$share/icons/hicolor" -name "$app_id.png" -delete 2>/dev/null || true
done
rm -f "$prefix/share/man/man1/childgrowth.1" "$prefix/share/man/man1/childgrowth.1.gz"
rm -rf "$prefix/share/doc/childgrowth"
if command -v update-desktop-database >/dev/null && [[ -d "$data_home/applications" ]]; then
  update-desktop-database -q "$data_home/applications" || true
fi

echo "The program, its menu entry and its icons are removed."
kept=()
for file in "$data_home/helan-edu/childgrowth/0-3.mdb" "$program_dir/0-3.mdb" "$program_dir"/0-3.mdb.moved*; do
  [[ -f "$file" ]] && kept+=("$file")
done
if ((${#kept[@]})); then
  echo "The family's records stay in:"
  printf '  %s\n' "${kept[@]}"
  echo "Installing again picks them up."
else
  rmdir "$program_dir" 2>/dev/null || true
fi
