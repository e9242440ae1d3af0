#!/bin/sh
# Fleet programming against simulated radios at 19200 baud, no reply delay.
#
#   bench/fleet_bench.sh [BUILD_DIR]
#
# (a) one radio alone: a job of one unit on one port (read first, write,
#     read back): the time of one radio, T1.
# (b) 8 radios on 8 ports, one unit each: the whole job / T1. Target <= 1.15.
#     Also ks340ctl's own CPU time (user + system) during that job.
# (c) 40 units on 4 ports in automatic mode, radios ready at once (each
#     simulated radio becomes a fresh one after its read back): the whole
#     job / T1. Target <= 10.5.
#
# Times are the jobs' own ("in N s" of ks340ctl fleet). The machine should be
# otherwise idle: 8 paced radios and the programmer share its cores.
# FLEET_BENCH_RT=1 runs both programs at real-time priority (chrt -f 50,
# needs the privilege) so that background load disturbs them less.
set -eu

BUILD=${1:-build}
SIM=$BUILD/src/sim/ks340sim
CTL=$BUILD/src/cli/ks340ctl
for b in "$SIM" "$CTL"; do
    [ -x "$b" ] || { echo "fleet_bench: $b is not built" >&2; exit 1; }
done

RUN=
if [ "${FLEET_BENCH_RT:-0}" = 1 ]; then
    if chrt -f 50 true 2>/dev/null; then RUN="chrt -f 50"; else echo "fleet_bench: no real-time priority, running normally" >&2; fi
fi

WORK=$(mktemp -d)
SIM_PID=
cleanup() {
    [ -n "$SIM_PID" ] && kill "$SIM_PID" 2>/dev/null && wait "$SIM_PID" 2>/dev/null
    rm -rf "$WORK"
}
trap cleanup EXIT INT TERM

"$CTL" new -o "$WORK/base.ks3" >/dev/null

units() {  # units N FILE
    echo "Unit,header.lcdDisplayLogo" >"$2"
    i=1
    while [ "$i" -le "$1" ]; do
        echo "U$i,FLEET $i" >>"$2"
        i=$((i + 1))
    done
}

# job NAME RADIOS UNITS: runs one job, prints its time in seconds; the CPU
# time of ks340ctl goes to $WORK/NAME.cpu.
job() {
    name=$1
    radios=$2
    units "$3" "$WORK/$name.csv"
    : >"$WORK/$name.paths"
    $RUN "$SIM" --count "$radios" --link "$WORK/$name-r" --ks3 "$WORK/base.ks3" --swap-radio -q >"$WORK/$name.paths" &
    SIM_PID=$!
    n=0
    while [ "$(wc -l <"$WORK/$name.paths")" -lt "$radios" ]; do
        n=$((n + 1))
        [ "$n" -lt 100 ] || { echo "fleet_bench: the simulated radios did not start" >&2; kill "$SIM_PID"; exit 1; }
        sleep 0.05
    done
    ports=
    k=1
    while [ "$k" -le "$radios" ]; do
        ports="$ports --port $WORK/$name-r$k"
        k=$((k + 1))
    done
    # shellcheck disable=SC2086
    $RUN /usr/bin/time -f "%U %S" -o "$WORK/$name.cpu" "$CTL" fleet "$WORK/base.ks3" --units "$WORK/$name.csv" \
        $ports --auto --report "$WORK/$name-report" >"$WORK/$name.out" 2>"$WORK/$name.err" ||
        {
            echo "fleet_bench: job $name failed:" >&2
            cat "$WORK/$name.out" "$WORK/$name.err" >&2
            kill "$SIM_PID" 2>/dev/null
            exit 1
        }
    kill "$SIM_PID" 2>/dev/null
    wait "$SIM_PID" 2>/dev/null || true
    SIM_PID=
    sed -n 's/.* units done, .* in \([0-9.]*\) s$/\1/p' "$WORK/$name.out"
}

T1=$(job one 1 1)
T8=$(job eight 8 8)
T40=$(job forty 4 40)
CPU8=$(awk '{ printf "%.2f", $1 + $2 }' "$WORK/eight.cpu")

awk -v t1="$T1" -v t8="$T8" -v t40="$T40" -v cpu="$CPU8" 'BEGIN {
    printf "fleet: one radio alone                 %7.2f s\n", t1
    printf "fleet: 8 radios on 8 ports             %7.2f s  = %.3f x one radio (target <= 1.15)\n", t8, t8 / t1
    printf "fleet: ks340ctl CPU during the 8-port job %4.2f s  (%.1f%% of one core)\n", cpu, 100 * cpu / t8
    printf "fleet: 40 units on 4 ports, automatic  %7.2f s  = %.2f x one radio (target <= 10.5)\n", t40, t40 / t1
    exit !(t8 / t1 <= 1.15 && t40 / t1 <= 10.5)
}'
