#!/usr/bin/env bash
# The cold first screen against a peer's, in one run: bench_previews on the photos of 12 MP,
# then geeqie on the same folder, timed the same way (from its process start until its window
# stops changing: the first photo and the list drawn), cold (a fresh home and cache) and warm
# (started again), medians of the runs. Prints Vimbrel's cold first screens, one and four a
# row, as ratios of geeqie's cold one. Without geeqie (apt-get install geeqie) only Vimbrel's
# figures are printed. Debian's geeqie 2.0.1 shows no thumbnails at its start here (its list
# keeps placeholder icons until the folder is opened again): its first screen is the first
# photo fitted to the window beside the list.
#
#   bench/bench_geeqie.sh [runs] [photos]        BUILD=build by default
set -euo pipefail

runs=${1:-5}
photos=${2:-200}
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
build=${BUILD:-$here/../build}
bench=$build/bench/bench_previews
[ -x "$bench" ] || { echo "build bench_previews first ($bench)" >&2; exit 1; }

report=$(mktemp)
"$bench" "$runs" "$photos" >"$report" || true
cat "$report"
ours=$(grep '^FIRST_SCREEN_COLD' "$report" || true)
rm -f "$report"
one=$(sed -n 's/.*one=\([0-9.]*\).*/\1/p' <<<"$ours")
four=$(sed -n 's/.*four=\([0-9.]*\).*/\1/p' <<<"$ours")
[ -n "$one" ] || { echo "bench_previews gave no figures" >&2; exit 1; }

for tool in geeqie Xvfb xwd; do
    if ! command -v "$tool" >/dev/null; then
        echo "$tool is not installed: no peer figures (apt-get install geeqie xvfb x11-apps)"
        exit 0
    fi
done

folder=${TMPDIR:-/tmp}/vimbrel-bench-photos
[ "$photos" -ge 200 ] || folder=$folder-$photos
work=$(mktemp -d)
display=
for n in $(seq 140 199); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then display=:$n; break; fi
done
[ -n "$display" ] || { echo "no free display number" >&2; exit 1; }
Xvfb "$display" -screen 0 1280x900x24 >"$work/xvfb.log" 2>&1 &
xvfb=$!
cleanup() { kill "$xvfb" 2>/dev/null || true; wait "$xvfb" 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.1; done

now() { date +%s.%N; }

# Seconds from geeqie's start until its screen last changed, once it has been still for 3 s.
time_geeqie() { # home
    local home=$1 start changed last="" sum t
    mkdir -p "$home"
    start=$(now)
    HOME=$home XDG_CONFIG_HOME=$home/.config XDG_CACHE_HOME=$home/.cache \
        XDG_DATA_HOME=$home/.local/share DISPLAY=$display \
        geeqie --geometry=1280x900+0+0 "$folder" >"$work/geeqie.log" 2>&1 &
    local pid=$!
    changed=$start
    while :; do
        sleep 0.05
        t=$(now)
        sum=$(xwd -root -silent -display "$display" | md5sum)
        if [ "$sum" != "$last" ]; then last=$sum; changed=$t; fi
        if awk -v t="$t" -v c="$changed" -v s="$start" 'BEGIN { exit !(t - c > 3 || t - s > 90) }'
        then break; fi
    done
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    awk -v c="$changed" -v s="$start" 'BEGIN { printf "%.3f\n", c - s }'
}

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

cold=()
warm=()
for i in $(seq "$runs"); do
    home=$work/home-$i
    cold+=("$(time_geeqie "$home")")
    warm+=("$(time_geeqie "$home")")
    echo "geeqie run $i: cold ${cold[-1]} s, warm ${warm[-1]} s" >&2
done
gcold=$(printf '%s\n' "${cold[@]}" | median)
gwarm=$(printf '%s\n' "${warm[@]}" | median)
echo "geeqie first screen: cold $gcold s, warm $gwarm s (medians of $runs)"
awk -v one="$one" -v four="$four" -v g="$gcold" 'BEGIN {
    printf "Vimbrel cold first screen / geeqie cold: one a row %.2fx (%.2f s), four a row %.2fx (%.2f s); goal <= 1.0x\n", one / g, one, four / g, four
}'
