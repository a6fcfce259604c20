#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs Kelmora's benchmarks and prints the README's table: start-up to the first frame and
# peak memory against Qt windows built alike, time and instructions per question.
#   bench/run-bench.sh [BUILD_DIR]        (default build-perf; configured and built here)
# Environment: RUNS start-ups of each program, alternating (default 21); QUESTIONS for the
# long memory run (default 10000); MEDIAN repeats of bench_question (default 9).
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath -m "${1:-build-perf}")
runs=${RUNS:-21}
questions=${QUESTIONS:-10000}
repeats=${MEDIAN:-9}
export LC_ALL=C # $EPOCHREALTIME with a decimal point; sort -g and awk alike

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 --target kelmora_pictures bench_question bench_play \
    bench_startup_kelmora bench_startup_bare bench_mapnotify >/dev/null
bin=$build/bin
work=$(mktemp -d)

xvfb_pid=
weston_pid=
cleanup() {
    if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
    if [ -n "$weston_pid" ]; then kill "$weston_pid" 2>/dev/null || true; fi
    if [ -n "${DBUS_SESSION_BUS_PID:-}" ]; then kill "$DBUS_SESSION_BUS_PID" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT

# Waits up to five seconds for a server's sign of life: test TEST on PATH, else stops, naming it.
await() {
    for _ in $(seq 50); do
        test "$1" "$2" && return
        sleep 0.1
    done
    echo "$3 did not start" >&2
    exit 1
}

# A real X server for the xcb platform; without a window manager the window has no frame.
# -noreset: a start that connects while the server resets after the last client would fail.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$work/display" 2>/dev/null &
xvfb_pid=$!
await -s "$work/display" Xvfb
display=$(cat "$work/display")
export DISPLAY=":$display"
# A headless weston for the native Wayland platform, in a private runtime folder; Qt draws the
# title bar there itself.
export XDG_RUNTIME_DIR=$work/runtime WAYLAND_DISPLAY=bench
mkdir -m 700 "$XDG_RUNTIME_DIR"
weston --backend=headless-backend.so --use-pixman --width=1280 --height=1024 --idle-time=0 \
    --no-config --socket="$WAYLAND_DISPLAY" 2>/dev/null &
weston_pid=$!
await -e "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" weston
# A session bus, so that the MapNotify starts run with the accessibility bridge on, as on a
# desktop with a screen reader.
eval "$(dbus-launch --sh-syntax)"

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
field() { sed -n "s/.*$1=\([-0-9.]*\).*/\1/p"; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
mib() { awk -v k="$1" 'BEGIN { printf "%.1f", k / 1024 }'; }
decimals() { awk -v v="$1" -v d="$2" 'BEGIN { printf "%.*f", d, v }'; }
row() { echo "| $1 | $2 | $3 | $4 | $5 |"; }
in_unit() { [ "$1" = mib ] && mib "$2" || decimals "$2" 1; }

# This shell stamps the time just before it forks and execs a probe, so a start-up counts
# the exec, the dynamic loader and all of Qt's start-up, plus one fork of bash (well under
# a millisecond, the same for every probe).
probes=(kelmora bare label)
run_probe() { # name [launcher …]: one start of the probe, through the launcher if given
    local name=$1
    shift
    case $name in
    kelmora) "$@" "$bin/bench_startup_kelmora" ;;
    bare) "$@" "$bin/bench_startup_bare" ;;
    label) "$@" "$bin/bench_startup_bare" label ;;
    esac
}
against() { [ "$1" = label ] && echo "window with one label" || echo "bare window"; }
startup() { # platform → files $work/<platform>.<probe>, one line a start-up
    local platform=$1 name
    for _ in $(seq "$runs"); do
        for name in "${probes[@]}"; do
            QT_QPA_PLATFORM=$platform KELMORA_EXEC_TIME=$EPOCHREALTIME \
                run_probe "$name" >>"$work/$platform.$name" 2>/dev/null
        done
    done
}

# Exec to the MapNotify of the window, watched from outside the program: the probes run until
# their first frame, bench_mapnotify ends them once the window is mapped.
mapnotify() { # → files $work/map.<probe>
    local name
    for _ in $(seq "$runs"); do
        for name in "${probes[@]}"; do
            QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 \
                run_probe "$name" "$bin/bench_mapnotify" >>"$work/map.$name" 2>/dev/null
        done
    done
}

play() { # platform mode questions → peak resident KiB
    QT_QPA_PLATFORM=$1 "$bin/bench_play" "$2" "$3" 2>/dev/null | field vmhwm_kib
}

instructions() { # mode questions → instructions of the whole program
    QT_QPA_PLATFORM=offscreen valgrind --tool=callgrind --callgrind-out-file=/dev/null \
        "$bin/bench_play" "$1" "$2" 2>&1 >/dev/null | sed -n 's/.*Collected : \([0-9]*\).*/\1/p'
}

platform_name() {
    case $1 in
    xcb) echo "xcb (Xvfb)" ;;
    wayland) echo "wayland (weston)" ;;
    *) echo "$1" ;;
    esac
}
mode_name() { [ "$1" = typed ] && echo "typed names" || echo "picture choice"; }

echo "Start-up, $runs runs of each program on each platform..." >&2
for platform in xcb wayland offscreen; do
    startup "$platform"
done
mapnotify
echo "Peak memory after 10 and $questions questions..." >&2
declare -A rss
for platform in xcb offscreen; do
    rss[$platform.bare]=$(play "$platform" bare 0)
    for mode in typed pictures; do
        for n in 10 "$questions"; do
            rss[$platform.$mode.$n]=$(play "$platform" "$mode" "$n")
        done
    done
done
echo "Time per question, median of $repeats..." >&2
# A fixed, large iteration count: the wall-time clock counts whole milliseconds.
QT_QPA_PLATFORM=offscreen "$bin/bench_question" -median "$repeats" -iterations 1000 -csv \
    >"$work/question.csv" 2>/dev/null
echo "Instructions per question under callgrind, 1100 questions less 100..." >&2
declare -A insn
for mode in typed pictures; do
    few=$(instructions "$mode" 100)
    many=$(instructions "$mode" 1100)
    insn[$mode]=$(((many - few) / 1000))
done

echo
row Measure Platform Kelmora "Qt baseline" Ratio
row --- --- ---: ---: ---:
# measure platform field files [mib]: Kelmora against each Qt window, medians of the starts
startup_rows() {
    local -A v=()
    local p
    for p in "${probes[@]}"; do
        v[$p]=$(field "$3" <"$4.$p" | median)
    done
    for p in bare label; do
        row "$1 vs $(against "$p")" "$2" "$(in_unit "${5:-ms}" "${v[kelmora]}")" \
            "$(in_unit "${5:-ms}" "${v[$p]}")" "$(ratio "${v[kelmora]}" "${v[$p]}")"
    done
}
for platform in xcb wayland offscreen; do
    name=$(platform_name "$platform")
    startup_rows "Start-up to first frame (ms, median of $runs)" "$name" first_paint_ms "$work/$platform"
    startup_rows "Peak RSS at first frame (MiB)" "$name" vmhwm_kib "$work/$platform" mib
done
startup_rows "Start-up to MapNotify (ms, median of $runs)" "xcb (Xvfb), accessibility on" map_ms "$work/map"
for platform in xcb offscreen; do
    name=$(platform_name "$platform")
    bare=${rss[$platform.bare]}
    for mode in typed pictures; do
        for n in 10 "$questions"; do
            k=${rss[$platform.$mode.$n]}
            row "Peak RSS after $n questions, $(mode_name "$mode") (MiB) vs bare window" "$name" \
                "$(mib "$k")" "$(mib "$bare")" "$(ratio "$k" "$bare")"
        done
        row "Growth of peak RSS from 10 to $questions questions, $(mode_name "$mode")" "$name" \
            "$(awk -v a="${rss[$platform.$mode.10]}" -v b="${rss[$platform.$mode.$questions]}" \
                'BEGIN { printf "%+.1f %%", (b - a) * 100 / a }')" – –
    done
done
for mode in typed pictures; do
    test=typedName
    [ "$mode" = pictures ] && test=pictureChoice
    per_question=$(awk -F, -v t="\"$test\"" \
        '$1 == t && $3 == "\"WalltimeMilliseconds\"" { print $4 }' "$work/question.csv")
    row "Time per question, $(mode_name "$mode") (ms, median of $repeats)" offscreen \
        "$(decimals "$per_question" 3)" – –
    row "Instructions per question, $(mode_name "$mode") (millions)" "offscreen (callgrind)" \
        "$(decimals "$(awk -v i="${insn[$mode]}" 'BEGIN { print i / 1e6 }')" 2)" – –
done
