#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The whole-process work of merkhaus-tool on a DataFile of about 62 MB (255 lessons of 400
# entries), each against the plain tool that does the same amount of file work, run in the same
# session as interleaved pairs (baseline, then the work) so that the load of a shared machine hits
# both alike. Prints the medians, the ratio of the medians and the goal of every row, and the
# largest resident memory of the KVTML transfers.
#
#   bench/speed_limits.sh [path/to/merkhaus-tool] [repetitions]
set -euo pipefail

tool=$(realpath "${1:-build/merkhaus-tool}")
reps=${2:-${SPEED_REPS:-7}}
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT

lessons=255
per_lesson=400
awk -v dir="$dir" -v lessons=$lessons -v per=$per_lesson 'BEGIN {
  for (l = 1; l <= lessons; ++l) {
    f = sprintf("%s/lektion%03d.txt", dir, l)
    printf "<%%>HEAD<%%>\nName: Lektion %d\nKommentar: Wörter %d\n<%%>BODY<%%>\n", l, l > f
    for (e = 1; e <= per; ++e)
      printf "word%d_%d; synonym %d == Wort %d_%d; Ähnliches @K& Bemerkung über „%d“\n",
             l, e, e, l, e, e > f
    close(f)
  }
}'

# Runs "$@" and prints its wall-clock time in milliseconds, to a tenth (its output goes away).
# The clock is bash's own: a `date` process on each side of a run would add several milliseconds
# to the work and to its baseline alike and pull every ratio towards 1.
ms() {
  local start=${EPOCHREALTIME/[.,]/}
  "$@" >/dev/null 2>&1 || true
  local end=${EPOCHREALTIME/[.,]/}
  local us=$((end - start))
  echo "$((us / 1000)).$((us / 100 % 10))"
}
median() { sort -n | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else printf "%.1f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
spread() { sort -n | awk 'NR == 1 { lo = $1 } { hi = $1 } END { printf "%s–%s", lo, hi }'; }

printf '%-58s %9s %9s %7s %s\n' "work (N=$reps interleaved pairs)" "median" "baseline" "ratio" "goal"
# row NAME GOAL PREPARE BASELINE WORK: PREPARE runs untimed before each of the two.
row() {
  local name=$1 goal=$2 prepare=$3 baseline=$4 work=$5
  : >"$dir/a"
  : >"$dir/b"
  for ((i = 0; i < reps; ++i)); do
    $prepare
    ms $baseline >>"$dir/a"
    $prepare
    ms $work >>"$dir/b"
  done
  local a b
  a=$(median <"$dir/a")
  b=$(median <"$dir/b")
  printf '%-58s %6s ms %6s ms %6s× %s   (work %s ms, baseline %s ms)\n' "$name" "$b" "$a" \
    "$(awk -v a="$a" -v b="$b" 'BEGIN { printf "%.2f", (a > 0 ? b / a : 0) }')" "$goal" \
    "$(spread <"$dir/b")" "$(spread <"$dir/a")"
}

# --- 255 lesson imports, one process each, into a growing DataFile -----------------------------
fresh_growing() { "$tool" new "$dir/g.fid" --name "Wörterbuch" --foreign Englisch --native Deutsch --force >/dev/null; }
imports() { for f in "$dir"/lektion*.txt; do "$tool" import "$dir/g.fid" "$f"; done; }
helps() { for f in "$dir"/lektion*.txt; do "$tool" --help "$f"; done; }
import_reps=${SPEED_IMPORT_REPS:-3}
saved=$reps
reps=$import_reps
row "255 lesson imports, one process each (vs 255 × --help)" "≤ 2×" fresh_growing helps imports
reps=$saved
cp "$dir/g.fid" "$dir/d.fid"
echo "  the DataFile: $(stat -c %s "$dir/d.fid") bytes"

# --- KVTML -------------------------------------------------------------------------------------
copy_sync() { cp "$dir/d.fid" "$dir/copy.fid" && sync "$dir/copy.fid"; }
no_out() { rm -f "$dir/copy.fid" "$dir/out.kvtml"; }
export_kvtml() { "$tool" export-kvtml "$dir/d.fid" "$dir/out.kvtml"; }
row "export-kvtml of the whole DataFile (vs cp + sync)" "≤ 2×" no_out copy_sync export_kvtml
"$tool" export-kvtml "$dir/d.fid" "$dir/d.kvtml" --force >/dev/null
echo "  the document: $(stat -c %s "$dir/d.kvtml") bytes"

"$tool" new "$dir/empty.fid" --name "Leer" --foreign Englisch --native Deutsch >/dev/null
fresh_empty() { rm -f "$dir/copy.fid"; cp "$dir/empty.fid" "$dir/e.fid"; }
import_kvtml() { "$tool" import-kvtml "$dir/e.fid" "$dir/d.kvtml"; }
row "import-kvtml of that document into an empty DataFile (vs cp + sync)" "≤ 3×" fresh_empty \
  copy_sync import_kvtml

rss() { /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -1; }
fresh_empty
export_rss=$(rss "$tool" export-kvtml "$dir/d.fid" "$dir/rss.kvtml" --force)
import_rss=$(rss "$tool" import-kvtml "$dir/e.fid" "$dir/d.kvtml")
help_rss=$(rss "$tool" lessons "$dir/d.fid")
printf '%-58s %s / %s KiB (lessons: %s KiB)   goal ≤ 16384 KiB\n' \
  "max RSS of export-kvtml / import-kvtml" "$export_rss" "$import_rss" "$help_rss"
# The same document with ids that are no numbers ("e17"), as other programs write them: the
# reader keeps a table of them.
sed 's/<entry id="\([0-9]*\)"/<entry id="e\1"/' "$dir/d.kvtml" >"$dir/t.kvtml"
fresh_empty
text_rss=$(rss "$tool" import-kvtml "$dir/e.fid" "$dir/t.kvtml")
printf '%-58s %s KiB   goal ≤ 16384 KiB\n' "max RSS of import-kvtml, ids that are no numbers" "$text_rss"

# --- scans -------------------------------------------------------------------------------------
nothing() { :; }
cat_file() { cat "$dir/d.fid"; }
search() { "$tool" search "$dir/d.fid" "qqqxqqq"; }
search_i() { "$tool" search "$dir/d.fid" "QqqXqqQ" --ignore-case; }
list_lessons() { "$tool" lessons "$dir/d.fid"; }
row "search with no hit (vs cat)" "≤ 1.2×" nothing cat_file search
row "search --ignore-case with no hit (vs cat)" "≤ 1.2×" nothing cat_file search_i
row "lessons (vs cat)" "≤ 1.2×" nothing cat_file list_lessons
# Where the scans' remainder goes: the start of the program itself (libraries loaded, relocations,
# static initialisation) against that of cat.
cat_nothing() { cat /dev/null; }
version() { "$tool" --version; }
row "start: merkhaus-tool --version (vs cat /dev/null)" "–" nothing cat_nothing version
# The same search in a Unicode copy of the DataFile, a whole process each: the first Unicode
# folding of a program run builds ICU's tables.
"$tool" convert "$dir/d.fid" "$dir/u.fid" --unicode >/dev/null
search_unicode() { "$tool" search "$dir/u.fid" "QqqXqqQ" --ignore-case; }
row "search --ignore-case, Unicode copy (vs Windows-1252)" "≤ 1.1×" nothing search_i search_unicode

# --- cleanup with a third deleted ---------------------------------------------------------------
cp "$dir/d.fid" "$dir/third.fid"
for ((u = 1; u <= lessons; u += 3)); do "$tool" delete-lesson "$dir/third.fid" $u >/dev/null; done
mkdir -p "$dir/work"
fresh_third() { rm -f "$dir/copy.fid" "$dir/work/cleanup.tmp"; cp "$dir/third.fid" "$dir/c.fid"; }
copy_sync_third() { cp "$dir/c.fid" "$dir/copy.fid" && sync "$dir/copy.fid"; }
cleanup() { (cd "$dir/work" && "$tool" cleanup "$dir/c.fid"); }
row "cleanup with a third deleted (vs cp + sync)" "≤ 1.5×" fresh_third copy_sync_third cleanup
