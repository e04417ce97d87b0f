#!/bin/sh
# Our figures beside other programs' on the same work, in one run:
#   - 15,000 lines written as DXF: our R12 and R14 export against ezdxf writing the same
#     lines (ezdxf writes R12 and R2000 and later, not R14; its R2000 is the nearest);
#   - 15,000 Beziers: our SVG export and our paint of them at 1920 x 1344 against
#     rsvg-convert reading and drawing our SVG of them at the same size.
# Usage: bench/peers.sh [build folder]   (default: build)
set -eu

build=${1:-build}
bench="$build/bench/quillon_bench"
[ -x "$bench" ] || { echo "no benchmark program at $bench (build it first)" >&2; exit 1; }
command -v rsvg-convert >/dev/null || { echo "rsvg-convert is missing (scripts/install-deps)" >&2; exit 1; }
/usr/bin/python3 -c 'import ezdxf' 2>/dev/null || { echo "python3-ezdxf is missing (scripts/install-deps)" >&2; exit 1; }

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

echo "cores: $(nproc)"
echo "== ours (median of 5 runs each) =="
QT_QPA_PLATFORM=offscreen QUILLON_BENCH_OUTPUT_DIR="$out" "$bench" \
  --benchmark_filter='BM_ExportFifteenThousandLines|BM_ExportFifteenThousandBeziersSvg|BM_PaintFifteenThousandBeziers' \
  --benchmark_repetitions=5 --benchmark_report_aggregates_only=true 2>/dev/null | grep '_median'

echo "== ezdxf $(/usr/bin/python3 -c 'import ezdxf; print(ezdxf.__version__)'): the same 15,000 lines =="
/usr/bin/python3 - "$out/lines_r14.dxf" "$out" <<'PY'
import sys, time, statistics
import ezdxf

# The lines as our R14 file holds them (y already upward).
lines, codes = [], open(sys.argv[1], encoding="latin-1").read().split("\n")
codes = [c.strip() for c in codes]
i = 0
while i + 1 < len(codes):
    if codes[i] == "0" and codes[i + 1] == "LINE":
        v, i = {}, i + 2
        while i + 1 < len(codes) and codes[i] != "0":
            v[codes[i]] = codes[i + 1]
            i += 2
        lines.append(((float(v["10"]), float(v["20"])), (float(v["11"]), float(v["21"]))))
    else:
        i += 2
for version in ("R12", "R2000"):
    times = []
    for run in range(5):
        start = time.perf_counter()
        doc = ezdxf.new(version)
        msp = doc.modelspace()
        for a, b in lines:
            msp.add_line(a, b)
        doc.saveas(f"{sys.argv[2]}/ezdxf_{version}.dxf")
        times.append((time.perf_counter() - start) * 1000)
    print(f"ezdxf {version:6} {len(lines)} lines: median {statistics.median(times):.0f} ms")
PY

echo "== rsvg-convert $(rsvg-convert --version | awk '{print $NF}'): our SVG of 15,000 Beziers at 1920 x 1344 =="
times=""
for run in 1 2 3 4 5; do
  start=$(date +%s%N)
  rsvg-convert -w 1920 -h 1344 -o "$out/beziers.png" "$out/beziers.svg"
  end=$(date +%s%N)
  times="$times $(( (end - start) / 1000000 ))"
done
echo "rsvg-convert runs (ms):$times"
echo "$times" | tr ' ' '\n' | grep . | sort -n | sed -n 3p | sed 's/^/rsvg-convert median: /; s/$/ ms/'
