#!/bin/bash
# The whole command-line run on 252 letters (shape 1 and --report, once without and once with
# --convert) paired with Inkscape's Envelope extension bending the same letters, the three run
# after run in turn, so that both ratios come from one paired run.
#
#   bench/cli_vs_envelope.sh [BUILD] [RUNS]      (BUILD: the build folder, default build; RUNS: 5)
#
# Without Inkscape's extensions (Debian's inkscape package) only the command line is timed.
set -euo pipefail

build=$(cd "${1:-build}" && pwd)
runs=${2:-5}
cli="$build/sample/letterkerf-cli"
font2tground="$build/tools/font2tground"
extensions=/usr/share/inkscape/extensions
# the system's Python, the one Inkscape's extensions run under (with python3-lxml)
python=/usr/bin/python3
[[ -x $python ]] || python=python3
font=$(fc-match -f '%{file}' 'DejaVu Sans:Bold' 2>/dev/null || true)
for need in "$cli" "$font2tground"; do
    [[ -x $need ]] || { echo "missing $need: build first (make build)" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
text=$(printf 'Sign Stencil%.0s' $(seq 1 21))
text=${text:0:252}
mkdir -p "$work/folder/workfiles"
cp "$build/sample/workfiles/"* "$work/folder/workfiles/"
"$font2tground" "$font" "$text" "$work/folder/workfiles/tground.dat"
cp "$build/sample/STV3.EXE" "$work/folder/" 2>/dev/null || true
cp -r "$work/folder" "$work/plain"
cp -r "$work/folder" "$work/shaped"

# the same letters as one path, and an envelope of four nodes that arches them as shape 1 does
"$cli" --folder "$work/plain" --shape 0 --svg "$work/letters.svg" >/dev/null 2>&1
python3 - "$work/letters.svg" "$work/enveloped.svg" <<'PY'
import re, sys
svg = open(sys.argv[1]).read()
w, h = (float(v) for v in re.search(r'viewBox="0 0 ([\d.]+) ([\d.]+)"', svg).groups())
envelope = (f'<path id="envelope" fill="none" stroke="#000" d="M0,{h} L{w},{h} '
            f'L{w * 0.9},0 L{w * 0.1},0 Z"/>')
open(sys.argv[2], "w").write(svg.replace("</svg>", envelope + "</svg>"))
PY

have_envelope=0
if [[ -f $extensions/path_envelope.py ]] && PYTHONPATH=$extensions "$python" -c 'import inkex' 2>/dev/null; then
    have_envelope=1
else
    echo "Inkscape's Envelope extension is not installed (Debian: apt-get install inkscape python3-lxml): only the command line is timed"
fi

seconds() { local s=$(date +%s.%N); "$@" >/dev/null 2>&1 || true; echo "$(date +%s.%N) - $s" | bc; }
cli_times=() shape_times=() envelope_times=()
for ((i = 0; i < runs; i++)); do
    shape_times+=("$(seconds "$cli" --folder "$work/shaped" --shape 1 --report)")
    cli_times+=("$(seconds "$cli" --folder "$work/folder" --shape 1 --report --convert)")
    if ((have_envelope)); then
        envelope_times+=("$(seconds env PYTHONPATH=$extensions "$python" "$extensions/path_envelope.py" \
            --id=letters --id=envelope --output="$work/out.svg" "$work/enveloped.svg")")
    fi
done
median() { printf '%s\n' "$@" | sort -g | awk '{a[NR] = $1} END {print (NR % 2) ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2}'; }
shape_median=$(median "${shape_times[@]}")
cli_median=$(median "${cli_times[@]}")
echo "letterkerf-cli, 252 letters, shape 1, --report: median ${shape_median} s of $runs (${shape_times[*]})"
echo "letterkerf-cli, 252 letters, shape 1, --report --convert: median ${cli_median} s of $runs (${cli_times[*]})"
if ((have_envelope)); then
    [[ -s $work/out.svg ]] || echo "the Envelope extension wrote nothing: its times below are of a failed run"
    envelope_median=$(median "${envelope_times[@]}")
    echo "Inkscape Envelope extension, the same letters: median ${envelope_median} s of $runs (${envelope_times[*]})"
    echo "Envelope / command line without the conversion: $(echo "scale=1; $envelope_median / $shape_median" | bc) times"
    echo "Envelope / command line with the conversion: $(echo "scale=1; $envelope_median / $cli_median" | bc) times"
fi
