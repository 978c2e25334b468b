#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Times merkhaus-tool on a dictionary-sized DataFile, as a script would use it: 255 lesson text
# files of 255 entries (UTF-8, umlauts, comments) imported one process each, then export-kvtml of
# the resulting 255-lesson, 65,025-entry DataFile and the import of that document into an empty
# DataFile. Also counts the bytes that one import reads from the DataFile (with strace).
#
#   bench/transfer_speed.sh [path/to/merkhaus-tool]
set -euo pipefail

tool=$(realpath "${1:-build/merkhaus-tool}")
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT

awk -v dir="$dir" 'BEGIN {
  for (l = 1; l <= 255; ++l) {
    f = sprintf("%s/lektion%03d.txt", dir, l)
    printf "<%%>HEAD<%%>\nName: Lektion %d\nKommentar: Wörter %d\n<%%>BODY<%%>\n", l, l > f
    for (e = 1; e <= 255; ++e)
      printf "word%d_%d; synonym %d == Wort %d_%d; Ähnliches @K& Bemerkung über „%d“\n",
             l, e, e, l, e, e > f
    close(f)
  }
}'

# Wall-clock time and the processor time of the processes, for a machine shared with other work.
TIMEFORMAT='%R s (processor time: %U s user, %S s system)'
timed() {
  local what=$1
  shift
  echo -n "$what: "
  { time "$@"; } 2>&1
}
each_lesson() {
  for f in "$dir"/lektion*.txt; do "$@" "$f" >/dev/null; done
}

"$tool" new "$dir/d.fid" --name "Wörterbuch" --foreign Englisch --native Deutsch
timed "import of 255 lesson files, one process each" each_lesson "$tool" import "$dir/d.fid"
timed "for comparison, 255 starts of merkhaus-tool --help" each_lesson "$tool" --help

timed "export-kvtml of the 255-lesson DataFile" "$tool" export-kvtml "$dir/d.fid" "$dir/d.kvtml"
echo "  the document: $(stat -c %s "$dir/d.kvtml") bytes, $(grep -c '<translation id="0"' "$dir/d.kvtml") entries"

"$tool" new "$dir/e.fid" --name "Leer" --foreign Englisch --native Deutsch
import_kvtml() { "$tool" import-kvtml "$dir/e.fid" "$dir/d.kvtml" >"$dir/out"; }
timed "import-kvtml into an empty DataFile" import_kvtml
echo "  $(head -1 "$dir/out"), $(tail -2 "$dir/out" | tr '\n' ' ')"

if command -v strace >/dev/null; then
  # One more lesson into the full DataFile: the bytes read from it by the import (the header
  # check reads a few hundred, the locked pass the whole file once).
  "$tool" delete-lesson "$dir/d.fid" 1 >/dev/null
  strace -y -e trace=pread64,read -e signal=none -o "$dir/trace" \
    "$tool" import "$dir/d.fid" "$dir/lektion001.txt" >/dev/null
  size=$(stat -c %s "$dir/d.fid")
  fd_reads=$(awk '/d\.fid>/ && $(NF - 1) == "=" { s += $NF } END { print s + 0 }' "$dir/trace")
  echo "bytes read by the DataFile passes of one import: $fd_reads (DataFile: $size bytes)"
fi
