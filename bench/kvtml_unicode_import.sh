#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Imports every vocabulary file of Debian's kdeedu-kvtml-data (KDE's trainers) with
# merkhaus-tool import-kvtml, once into a Windows-1252 DataFile and once into a Unicode one, and
# counts the files each kind takes with every entry, the files refused, and the fields cut
# (over 60 bytes, the comment over 255) in the Unicode DataFiles.
#
#   bench/kvtml_unicode_import.sh [path/to/merkhaus-tool] [cut-list.txt]
set -euo pipefail

tool=$(realpath "${1:-build/merkhaus-tool}")
cuts=${2:-/dev/null}
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
export XDG_DATA_HOME=$dir/data XDG_CONFIG_HOME=$dir/config

mapfile -t files < <(dpkg -L kdeedu-kvtml-data | grep '\.kvtml$' | LC_ALL=C sort)
declare -A whole=([cp1252]=0 [unicode]=0) refused=([cp1252]=0 [unicode]=0)
declare -A partial=([cp1252]=0 [unicode]=0)
cutFields=0
cutFiles=0
: >"$cuts"
for f in "${files[@]}"; do
  for kind in cp1252 unicode; do
    fid=$dir/$kind.fid
    rm -f "$fid"
    flag=()
    [[ $kind == unicode ]] && flag=(--unicode)
    "$tool" new "$fid" --name Import --foreign A --native B "${flag[@]}" --force
    # Without --skip-bad-lines a file with problem lines is refused as a whole.
    if "$tool" import-kvtml "$fid" "$f" >"$dir/out" 2>"$dir/err"; then
      whole[$kind]=$((whole[$kind] + 1))
    elif "$tool" import-kvtml "$fid" "$f" --skip-bad-lines >"$dir/out" 2>"$dir/err"; then
      partial[$kind]=$((partial[$kind] + 1))
    else
      refused[$kind]=$((refused[$kind] + 1))
    fi
    if [[ $kind == unicode ]]; then
      n=$(grep -c 'gekürzt' "$dir/err" || true)
      if ((n > 0)); then
        cutFields=$((cutFields + n))
        cutFiles=$((cutFiles + 1))
        grep 'gekürzt' "$dir/err" | sed "s|^|$f: |" >>"$cuts"
      fi
    fi
  done
done
echo "files: ${#files[@]}"
for kind in cp1252 unicode; do
  echo "$kind: every entry ${whole[$kind]}, only with --skip-bad-lines ${partial[$kind]}," \
    "refused even so ${refused[$kind]}"
done
echo "unicode: fields cut (over 60 bytes, comment over 255): $cutFields in $cutFiles files"
