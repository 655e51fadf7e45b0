#!/bin/bash
# The cut stage's window opening on 250 letters, as the user starts it: from the program's
# start until its window is on the screen (mapped), on a virtual display (xvfb-run, x11-utils),
# run after run. The drawing's first paint follows the mapping; the benchmark
# BM_CutWindowOpens times the window's building with that paint.
#
#   bench/cut_window_start.sh [BUILD] [RUNS]      (BUILD: the build folder, default build; RUNS: 5)
set -euo pipefail

build=$(cd "${1:-build}" && pwd)
runs=${2:-5}
cli="$build/sample/letterkerf-cli"
cut="$build/sample/letterkerf-cut"
letters="$build/testdata/long.dat"
for need in "$cli" "$cut" "$letters"; do
    [[ -e $need ]] || { echo "missing $need: build first" >&2; exit 1; }
done
command -v xvfb-run >/dev/null && command -v xwininfo >/dev/null ||
    { echo "needs xvfb-run and xwininfo (Debian: xvfb, x11-utils)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/workfiles"
cp "$letters" "$work/workfiles/tground.dat"
"$cli" --folder "$work" --convert >/dev/null 2>&1 || true
[[ -s $work/workfiles/c3.dat ]] || { echo "no hand-over of the 250 letters" >&2; exit 1; }

# one start: the seconds until the window is mapped
cat > "$work/once.sh" <<'ONCE'
#!/bin/bash
cut=$1 folder=$2
start=$(date +%s.%N)
QT_QPA_PLATFORM=xcb "$cut" --window --folder "$folder" >/dev/null 2>"$folder/cut.err" &
pid=$!
until xwininfo -name "LETTERKERF: Cut drawing" 2>/dev/null | grep -q IsViewable; do
    kill -0 $pid 2>/dev/null || { echo "the window did not open:" >&2; cat "$folder/cut.err" >&2; exit 1; }
    sleep 0.005
done
echo "$(date +%s.%N) - $start" | bc
kill $pid
wait $pid 2>/dev/null || true
ONCE
chmod +x "$work/once.sh"
times=()
for ((i = 0; i < runs; i++)); do
    # a virtual display now and then refuses its first client: such a run is run again, and
    # left out when it fails twice
    if t=$(xvfb-run -a -s "-screen 0 1600x1000x24" "$work/once.sh" "$cut" "$work" 2>/dev/null) ||
        t=$(xvfb-run -a -s "-screen 0 1600x1000x24" "$work/once.sh" "$cut" "$work"); then
        times+=("$t")
    else
        echo "run $((i + 1)): the window did not open; left out" >&2
    fi
done
((${#times[@]})) || { echo "no run opened the window" >&2; exit 1; }
runs=${#times[@]}
median() { printf '%s\n' "$@" | sort -g | awk '{a[NR] = $1} END {print (NR % 2) ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2}'; }
echo "letterkerf-cut window on 250 letters, start to mapped: median $(median "${times[@]}") s of $runs (${times[*]})"
