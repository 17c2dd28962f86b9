#!/bin/bash
# The whole sort job as a script runs it: quorvex-cli sort of a 1,000,000-row
# media list (read, sort, write) against LC_ALL=C sort -V of the same rows as
# tab-separated text, both timed in this run (best of three each).
#   bench/sort_vs_gnu.sh [BUILD_DIR] [ROWS]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-$root/build-bench}
rows=${2:-1000000}
cli="$dir/quorvex-cli"
[ -x "$cli" ] || { echo "no $cli: build the quorvex-cli target first" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Titles with numbers, years, durations, "Disc N of M" notes and some padded
# tape numbers, as collectors keep them.
python3 - "$rows" >"$work/rows.tsv" <<'PY'
import random, sys
rng = random.Random(7)
n = int(sys.argv[1])
titles = ["The Long Goodbye", "Casablanca", "Blade Runner", "Rocky", "Alien", "Star Trek", "Star Wars",
          "Spirited Away", "Heat", "Vertigo", "Paris, Texas", "Die Hard", "Toy Story", "Halloween", "The Godfather"]
cats = ["Drama", "Science Fiction", "Comedy", "Horror", "Western", "Animation", "Thriller", "Documentary"]
actors = ["Humphrey Bogart", "Harrison Ford", "Sigourney Weaver", "Bruce Willis", "Jamie Lee Curtis",
          "Al Pacino", "Tom Hanks", "James Stewart", ""]
out = []
for _ in range(n):
    tape = str(rng.randint(1, n * 3 // 4 + 1))
    if rng.randrange(10) == 0:
        tape = tape.zfill(6)
    title = rng.choice(titles) + (" %d" % rng.randint(2, 7) if rng.randrange(3) == 0 else "")
    episode = "" if rng.randrange(2) else "Episode %d" % rng.randint(1, 24)
    discs = rng.randint(1, 3)
    note = "" if rng.randrange(4) else "Disc %d of %d" % (rng.randint(1, discs), discs)
    out.append("\t".join([tape, title, episode, rng.choice(cats), rng.choice(actors),
                          "%d:%d:00" % (rng.randint(1, 3), rng.randint(10, 59)), str(rng.randint(1930, 2024)), note]))
sys.stdout.write("\r\n".join(out) + "\r\n")
PY
{ printf 'Tape#\tMovie Title\tEpisode\tCategory\tMain Actor\tDuration\tYear\tComment\r\n'; cat "$work/rows.tsv"; } >"$work/list.tsv"
"$cli" import "$work/list.tsv" "$work/list.lstd"
tr -d '\r' <"$work/rows.tsv" >"$work/rows.txt"

# Wall time and processor time (user + system) of one run, in ms; the best
# of three of each. GNU sort may use a second thread, so on a busy machine
# the wall times drift apart from the processor times: both are shown.
run() { /usr/bin/time -f "%e %U %S" -o "$work/time" "$@" && awk '{printf "%d %d\n", $1 * 1000, ($2 + $3) * 1000}' "$work/time"; }
best() {
    local bw=999999999 bc=999999999 w c
    for _ in 1 2 3; do
        read -r w c < <(run "$@")
        [ "$w" -lt "$bw" ] && bw=$w
        [ "$c" -lt "$bc" ] && bc=$c
    done
    echo "$bw $bc"
}
read -r ours ourscpu < <(best "$cli" sort "$work/list.lstd" "$work/sorted.lstd")
read -r gnu gnucpu < <(best env LC_ALL=C sort -V "$work/rows.txt" -o "$work/sorted.txt")
ratio=$(python3 -c "print(f'{$ours / max($gnu, 1):.2f}')")
cpuratio=$(python3 -c "print(f'{$ourscpu / max($gnucpu, 1):.2f}')")
verdict=$(python3 -c "print('ok' if $ours <= 0.5 * $gnu else 'OVER')")
printf "%-40s %10s x  %8.1f x   %s   quorvex-cli sort %s ms, LC_ALL=C sort -V %s ms (%s rows); processor time %s ms against %s ms (%s x); load %s\n" \
    "quorvex-cli sort / GNU sort -V" "$ratio" 0.5 "$verdict" "$ours" "$gnu" "$rows" "$ourscpu" "$gnucpu" "$cpuratio" \
    "$(cut -d' ' -f1-3 /proc/loadavg)"
[ "$verdict" = ok ]
