#!/bin/sh
# Start-up of the desktop program, offscreen.
#
#   bench/startup_bench.sh [BUILD_DIR] [RUNS]
#
# Starts build/src/app/ks340 --startup-probe RUNS times (default 10). The
# program prints the monotonic time at which its main window had been shown
# and painted, and its resident memory at that moment, then quits. Reported:
# the median and the largest time from process start (taken just before the
# exec) to the window shown, target below 300 ms; and the median resident
# memory, target below 80 MB. Runs in a scratch working directory, so the
# program's setting.opt is created there.
set -eu

BUILD=${1:-build}
RUNS=${2:-10}
APP=$(cd "$BUILD" && pwd)/src/app/ks340
[ -x "$APP" ] || { echo "startup_bench: $APP is not built" >&2; exit 1; }

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

cd "$WORK"
QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$WORK/config" python3 - "$APP" "$RUNS" <<'PY'
import os, statistics, subprocess, sys, time

app, runs = sys.argv[1], int(sys.argv[2])
times, rss = [], []
# One run first so that the shared libraries are in the page cache, as on a
# desktop where Qt programs run every day.
for i in range(runs + 1):
    start = time.monotonic() * 1000.0
    out = subprocess.run([app, "--startup-probe"], capture_output=True, text=True, timeout=60)
    values = dict(line.split() for line in out.stdout.splitlines() if " " in line)
    if "shown_monotonic_ms" not in values:
        sys.exit("startup_bench: no report from ks340:\n" + out.stdout + out.stderr)
    if i == 0:
        continue
    times.append(float(values["shown_monotonic_ms"]) - start)
    rss.append(int(values["rss_kb"]) / 1024.0)

t, m = statistics.median(times), statistics.median(rss)
print(f"start to main window shown: median {t:.1f} ms, max {max(times):.1f} ms "
      f"over {runs} runs (target < 300 ms): {'ok' if t < 300 else 'MISSED'}")
print(f"resident memory after start: median {m:.1f} MB (target < 80 MB): "
      f"{'ok' if m < 80 else 'MISSED'}")
PY
