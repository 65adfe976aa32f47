#!/usr/bin/env bash
# Runs every test layer and ends with one line "N passed, N failed".
#   native      unit and adapter tests, Linux debug build (warnings are errors)
#   e2e         the Linux application under Xvfb against the demo platform (screenshots in
#               build/linux-e2e/e2e-artifacts)
#   sanitizers  the same tests under AddressSanitizer and UndefinedBehaviorSanitizer
#   wine        the portable core and the Windows adapters, cross-compiled, under Wine
#   fuzz        every libFuzzer target for a few seconds
#   demo        the demo platform's own tests
#   bench       the benchmarks build and run once (numbers in build/test-logs/bench*.log)
#   format      every C++ file matches the repository's .clang-format
#   differential  the product's URL borders against Node's WHATWG URL parser, over several
#               thousand generated URLs (tests/differential); passes with 0 failures
# Environment: FUZZ_SECONDS (default 5), LAYERS (default all of the above).
set -uo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
cd "$root"
"$root/tools/scripts/install-deps.sh" test

logs="$root/build/test-logs"
mkdir -p "$logs"
fuzz_seconds="${FUZZ_SECONDS:-5}"
layers="${LAYERS:-format native differential e2e sanitizers wine fuzz demo bench}"
jobs="$(nproc)"
total_passed=0
total_failed=0
summary=()

record() {  # layer passed failed
    total_passed=$((total_passed + $2))
    total_failed=$((total_failed + $3))
    summary+=("$(printf '%-11s %5d passed, %d failed' "$1" "$2" "$3")")
}

build_preset() {  # preset log
    { cmake --preset "$1" && cmake --build --preset "$1" -j "$jobs"; } >"$2" 2>&1
}

run_ctest_layer() {  # layer preset [extra ctest arguments]
    local layer="$1" preset="$2" log="$logs/$1.log"
    shift 2
    if ! build_preset "$preset" "$log"; then
        echo "[$layer] build failed, see $log"; tail -30 "$log"
        record "$layer" 0 1
        return
    fi
    ctest --preset "$preset" -j "$jobs" --timeout 300 "$@" >>"$log" 2>&1
    local line
    line="$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -1)"
    if [ -z "$line" ]; then
        echo "[$layer] no test summary, see $log"; tail -30 "$log"
        record "$layer" 0 1
        return
    fi
    local failed all
    failed="$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")"
    all="$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\2/' <<<"$line")"
    if [ "$failed" -gt 0 ]; then
        echo "[$layer] failures:"; sed -n '/The following tests FAILED/,$p' "$log"
    fi
    record "$layer" $((all - failed)) "$failed"
}

# Builds a preset, then runs each program matching a pattern through a runner function; one
# program is one test.
run_programs() {  # layer preset pattern runner
    local layer="$1" preset="$2" pattern="$3" runner="$4" log="$logs/$1.log"
    if ! build_preset "$preset" "$log"; then
        echo "[$layer] build failed, see $log"; tail -30 "$log"; record "$layer" 0 1; return
    fi
    local passed=0 failed=0 program
    for program in $pattern; do
        [ -x "$program" ] || continue
        if "$runner" "$program" "$log"; then
            passed=$((passed + 1))
        else
            failed=$((failed + 1)); echo "[$layer] $(basename "$program") failed, see $log"
        fi
    done
    record "$layer" "$passed" "$failed"
}

# A private X server for the Windows dialogs under Wine (no display, no windows): the first free
# display number from 90 up, its socket awaited. Sets DISPLAY and xvfb_pid.
xvfb_pid=""
start_private_xvfb() {
    local n
    for n in $(seq 90 150); do
        [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
        Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
        xvfb_pid=$!
        for _ in $(seq 1 100); do
            if [ -S "/tmp/.X11-unix/X$n" ]; then
                export DISPLAY=":$n"
                return 0
            fi
            kill -0 "$xvfb_pid" 2>/dev/null || break
            sleep 0.05
        done
        # Taken by someone else in the meantime, or too slow: try the next number.
        kill "$xvfb_pid" 2>/dev/null
        wait "$xvfb_pid" 2>/dev/null
        xvfb_pid=""
    done
    echo "no free X display for the Wine layer"
    return 1
}

stop_private_xvfb() {
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null
        wait "$xvfb_pid" 2>/dev/null
        xvfb_pid=""
    fi
}

wine_environment() {
    # Wine maps Windows file names to Unix ones through the locale's character set; without a
    # UTF-8 locale no non-ASCII path can exist.
    export LC_ALL=C.UTF-8
    export WINEPREFIX="$root/build/windows-x64/.wine" WINEARCH=win64 WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
    mkdir -p "$WINEPREFIX"
    # The printer picker's tests open real dialogs; Wine's windows need an X display. Any prefix
    # services left from an earlier run still talk to that run's display: end them first.
    start_private_xvfb
    wineserver -k 2>/dev/null || true
    wineserver -p
    # The first Wine program starts the prefix's background services, which inherit its output
    # pipes: if that were a test, CTest would wait on the pipes until its time-out. Start them
    # here, with their output going nowhere.
    wine wineboot >/dev/null 2>&1
    if [ ! -f "$WINEPREFIX/.orbis-configured" ]; then
        wine winecfg -v win10 >/dev/null 2>&1
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
        touch "$WINEPREFIX/.orbis-configured"
    fi
}

for layer in $layers; do
    case "$layer" in
    native) run_ctest_layer native linux-debug ;;
    e2e) run_ctest_layer e2e linux-e2e ;;
    sanitizers)
        ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
            run_ctest_layer sanitizers linux-asan ;;
    wine)
        wine_environment
        # Now and then Wine fails to start a process at all (no output, exit in milliseconds);
        # such a test gets one more run. A real failure fails twice.
        run_ctest_layer wine windows-x64 --repeat until-pass:2
        wineserver -k 2>/dev/null || true
        stop_private_xvfb
        ;;
    fuzz)
        fuzz_one() {  # target log
            local name corpus seeds
            name="$(basename "$1")"
            corpus="$root/build/linux-fuzz/corpus/$name"
            seeds="$root/tests/fuzz/corpus/$name"
            mkdir -p "$corpus"
            [ -d "$seeds" ] || seeds=""
            "$1" -max_total_time="$fuzz_seconds" -print_final_stats=1 "$corpus" $seeds >"$logs/$name.log" 2>&1 ||
                { tail -40 "$logs/$name.log" >>"$2"; return 1; }
        }
        run_programs fuzz linux-fuzz "$root/build/linux-fuzz/tests/fuzz/fuzz_*" fuzz_one
        ;;
    demo)
        log="$logs/demo.log"
        /usr/bin/python3 -m unittest discover -s tools/demo-platform -p 'test_*.py' >"$log" 2>&1
        ran="$(grep -Eo 'Ran [0-9]+ tests?' "$log" | grep -Eo '[0-9]+' || echo 0)"
        bad="$(grep -Eo '(failures|errors)=[0-9]+' "$log" | grep -Eo '[0-9]+' | awk '{s+=$1} END {print s+0}')"
        if [ "$ran" -eq 0 ]; then bad=1; fi
        [ "$bad" -gt 0 ] && tail -40 "$log"
        record demo $((ran - bad > 0 ? ran - bad : 0)) "$bad"
        ;;
    bench)
        bench_one() { "$1" --benchmark_min_time=0.05 >>"$2" 2>&1; }
        run_programs bench linux-release "$root/build/linux-release/tests/bench/bench_*" bench_one
        # The application against a bare Qt WebEngine program (needs the demo tenant's port 47810).
        run_programs bench-app linux-e2e "$root/build/linux-e2e/tests/bench/bench_qt_*" bench_one
        ;;
    differential)
        log="$logs/differential.log"
        if { cmake --preset linux-debug && cmake --build --preset linux-debug -j "$jobs" \
                --target orbis-url-verdicts; } >"$log" 2>&1 &&
            node tests/differential/compare_host_readings.mjs \
                build/linux-debug/tests/orbis-url-verdicts config/tenant.test.json >>"$log" 2>&1; then
            grep '^differential:' "$log"
            record differential 1 0
        else
            echo "[differential] failed, see $log"; tail -50 "$log"
            record differential 0 1
        fi
        ;;
    format)
        unformatted="$(git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run 2>&1 | grep -Eo '^[^:]+\.(cpp|h)' | sort -u)"
        if [ -n "$unformatted" ]; then
            echo "[format] not formatted:"; echo "$unformatted"; record format 0 1
        else
            record format 1 0
        fi
        ;;
    *) echo "unknown layer $layer"; record "$layer" 0 1 ;;
    esac
done

echo
printf '%s\n' "${summary[@]}"
echo "$total_passed passed, $total_failed failed"
[ "$total_failed" -eq 0 ]
