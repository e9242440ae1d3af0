#!/bin/sh
# Radio link benchmarks against the simulated radio.
#
#   bench/link_bench.sh [BUILD_DIR] [RUNS]
#
# (a) unpaced (ks340sim --baud 0): time from one packet to the next, i.e. the
#     software overhead of a whole packet round trip (ks340ctl, kernel
#     pseudo-terminal and ks340sim together). Target: median below 0.2 ms.
# (b) paced at 19200 baud, no reply delay: transfer time divided by the wire
#     floor (every byte both ways at 10 bits a byte: 11225 bytes = 5.846 s
#     for a write, 14299 bytes = 7.447 s for a read). Target: at most 1.02.
#
# (c) from one more traced run of each at 19200 baud: the PC's own turnaround,
#     from a reply's arrival to the next packet leaving, i.e. the share of
#     the paced excess that ks340ctl adds; the rest is the pseudo-terminal
#     and the simulated radio.
#
# Each figure is the median of RUNS runs (default 3). The machine should be
# otherwise idle: other load shows directly in (b). LINK_BENCH_RT=1 runs both
# programs at real-time priority (chrt -f 50, needs the privilege) so that
# background load disturbs them less; the kernel's pseudo-terminal work still
# runs at normal priority.
set -eu

BUILD=${1:-build}
RUNS=${2:-3}
SIM=$BUILD/src/sim/ks340sim
CTL=$BUILD/src/cli/ks340ctl
for b in "$SIM" "$CTL"; do
    [ -x "$b" ] || { echo "link_bench: $b is not built" >&2; exit 1; }
done

RUN=
if [ "${LINK_BENCH_RT:-0}" = 1 ]; then
    if chrt -f 50 true 2>/dev/null; then RUN="chrt -f 50"; else echo "link_bench: no real-time priority, running normally" >&2; fi
fi

WORK=$(mktemp -d)
SIM_PID=
cleanup() {
    [ -n "$SIM_PID" ] && kill "$SIM_PID" 2>/dev/null || true
    rm -rf "$WORK"
}
trap cleanup EXIT INT TERM

head -c 8192 /dev/urandom > "$WORK/in.img"

start_sim() {
    $RUN "$SIM" -q "$@" > "$WORK/sim.out" 2> "$WORK/sim.err" &
    SIM_PID=$!
    i=0
    while ! grep -q . "$WORK/sim.out" 2>/dev/null && [ $i -lt 400 ]; do sleep 0.05; i=$((i + 1)); done
    PORT=$(head -n 1 "$WORK/sim.out")
    [ -n "$PORT" ] || { echo "link_bench: ks340sim did not start" >&2; cat "$WORK/sim.err" >&2; exit 1; }
}

stop_sim() {
    kill "$SIM_PID" 2>/dev/null || true
    wait "$SIM_PID" 2>/dev/null || true
    SIM_PID=
}

# run_transfer write|read [ks340ctl options] -> prints "SECONDS MEDIAN_MS"
run_transfer() {
    kind=$1
    shift
    if [ "$kind" = write ]; then
        $RUN "$CTL" write "$WORK/in.img" --port "$PORT" --yes --stats --no-backup "$@" > /dev/null 2> "$WORK/stats"
    else
        $RUN "$CTL" read --port "$PORT" -o "$WORK/out.img" --yes --stats --no-backup "$@" > /dev/null 2> "$WORK/stats"
    fi
    sed -n 's/^stats: transfer \([0-9.]*\) s, .*round trip median \([0-9.]*\) ms.*/\1 \2/p' "$WORK/stats"
}

median() { sort -n | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

echo "link benchmarks, $RUNS runs each${RUN:+, real-time priority}, load average: $(cut -d' ' -f1-3 /proc/loadavg)"

start_sim --baud 0
for kind in write read; do
    : > "$WORK/rt.$kind"
    for _ in $(seq "$RUNS"); do run_transfer "$kind" | awk '{ print $2 }' >> "$WORK/rt.$kind"; done
done
stop_sim
RT_W=$(median < "$WORK/rt.write")
RT_R=$(median < "$WORK/rt.read")
printf '(a) unpaced round trip, median: write %.3f ms, read %.3f ms (target < 0.2 ms)\n' "$RT_W" "$RT_R"

start_sim --baud 19200 --reply-delay 0
for kind in write read; do
    : > "$WORK/t.$kind"
    for _ in $(seq "$RUNS"); do run_transfer "$kind" | awk '{ print $1 }' >> "$WORK/t.$kind"; done
done
for kind in write read; do
    rm -f "$WORK/trace.$kind"
    run_transfer "$kind" --trace "$WORK/trace.$kind" > /dev/null
    # Reply in (<RD), next bytes out (PC>): the PC's turnaround in ms.
    awk '$3 == "<RD" { t = $1; next } $3 == "PC>" && t != "" { print $1 - t; t = "" }' \
        "$WORK/trace.$kind" > "$WORK/turn.$kind"
done
stop_sim
T_W=$(median < "$WORK/t.write")
T_R=$(median < "$WORK/t.read")
awk -v w="$T_W" -v r="$T_R" 'BEGIN {
    fw = 11225 * 10 / 19200; fr = 14299 * 10 / 19200
    printf "(b) paced 19200 baud: write %.3f s / %.3f s = %.4f, read %.3f s / %.3f s = %.4f (target <= 1.02)\n", w, fw, w / fw, r, fr, r / fr
}'
printf '(c) PC turnaround at 19200 baud, median: write %.3f ms, read %.3f ms per packet\n' \
    "$(median < "$WORK/turn.write")" "$(median < "$WORK/turn.read")"
cmp -n 8160 "$WORK/in.img" "$WORK/out.img" > /dev/null || { echo "link_bench: read-back differs" >&2; exit 1; }
