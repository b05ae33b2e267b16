#!/usr/bin/env bash
# Removes what scripts/install-user.sh installed: the program, the launcher,
# the menu entry, the icons. The family's records stay where they are.
# The files to remove are the ones the install listed in the program folder
# (install_manifest.txt); an install by an earlier version listed none, and
# then the files such an install put in place are removed by name.
set -euo pipefail
prefix="$HOME/.local"
data_home="${XDG_DATA_HOME:-}"
[[ "$data_home" == /* ]] || data_home="$HOME/.local/share"
app_id=cn.helan_edu.childgrowth
program_dir="$prefix/lib/childgrowth"
manifest="$program_dir/install_manifest.txt"
records="$data_home/helan-edu/childgrowth"

# The installed database is the empty one an own copy starts from; one that
# is not marked so holds an earlier install's records and stays.
empty_database=false
[[ -f "$program_dir/0-3.mdb.installed" ]] && empty_database=true

if [[ -f "$manifest" ]]; then
  while IFS= read -r file || [[ -n "$file" ]]; do
    # Only files, only where an install for one user puts them, never the
    # records; a path that climbs out of its folder is no install's.
    case "$file" in
      "$records"/* | */../* | */.. | */./*) continue ;;
      "$prefix"/* | "$data_home"/*) ;;
      *) continue ;;
    esac
    [[ "$file" == */0-3.mdb && $empty_database == false ]] && continue
    [[ -d "$file" && ! -L "$file" ]] && continue
    rm -f -- "$file"
  done <"$manifest"
  rm -f -- "$manifest"
else
  echo "No list of the installed files in $program_dir (an install by an earlier version):"
  echo "removing the files such an install put in place."
  launcher="$prefix/bin/childgrowth"
  if [[ -L "$launcher" && "$(readlink "$launcher")" == *lib/childgrowth/childgrowth ]]; then
    rm -f "$launcher"
  fi
  if $empty_database; then
    rm -f "$program_dir/0-3.mdb" "$program_dir/0-3.mdb.installed"
  fi
  rm -f "$program_dir/childgrowth" "$program_dir/0-3.mdb.version"
  for share in "$data_home" "$prefix/share"; do
    rm -f "$share/applications/$app_id.desktop" "$share/metainfo/$app_id.metainfo.xml"
    find "$share/icons/hicolor" -name "$app_id.png" -delete 2>/dev/null || true
  done
  rm -f "$prefix/share/man/man1/childgrowth.1" "$prefix/share/man/man1/childgrowth.1.gz"
  rm -rf "$prefix/share/doc/childgrowth"
fi
# The program folder is the install's own; it goes once it is empty.
rmdir "$program_dir" 2>/dev/null || true

if command -v update-desktop-database >/dev/null && [[ -d "$data_home/applications" ]]; then
  update-desktop-database -q "$data_home/applications" || true
fi
if command -v gtk-update-icon-cache >/dev/null && [[ -f "$data_home/icons/hicolor/index.theme" ]]; then
  gtk-update-icon-cache -q -t "$data_home/icons/hicolor" || true
fi

echo "The program, its menu entry and its icons are removed."
kept=()
# Backups an earlier install kept beside the program stay with its records.
for file in "$records/0-3.mdb" "$program_dir/0-3.mdb" "$program_dir"/0-3.mdb.moved* "$program_dir/backups"; do
  [[ -f "$file" || -d "$file" ]] && kept+=("$file")
done
if ((${#kept[@]})); then
  echo "The family's records stay in:"
  printf '  %s\n' "${kept[@]}"
  echo "Installing again picks them up."
fi
