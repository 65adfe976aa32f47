#!/usr/bin/env bash
# Runs every test layer and ends with one line "N passed, N failed, N skipped". A skipped test is
# not a pass; the command fails when any end-to-end file or any test that needs the demo platform
# was skipped. The layers that start the demo platform (on its fixed port 47810) run in a private
# network namespace each, so runs beside each other never meet.
#   native      unit and adapter tests, Linux debug build (warnings are errors)
#   e2e         the Linux application under Xvfb against the demo platform (screenshots in
#               build/linux-e2e/e2e-artifacts)
#   sanitizers  the same tests under AddressSanitizer and UndefinedBehaviorSanitizer, and the
#               application itself once per content kind and in init mode
#   wine        the portable core and the Windows adapters, cross-compiled, under Wine
#   wine-e2e    the Windows executable itself under Wine and a private Xvfb, with the stand-in
#               runtime and the demo platform (screenshots in build/windows-x64/wine-e2e/artifacts)
#   fuzz        every libFuzzer target for a few seconds
#   demo        the demo platform's own tests
#   bench       the benchmarks build and run once (numbers in build/test-logs/bench*.log)
#   format      every C++ file matches the repository's .clang-format
#   layering    portable files include no platform header, folders include only folders below
#               them, and only entry points reach the process-wide record
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
layers="${LAYERS:-format layering native differential e2e sanitizers wine wine-e2e fuzz demo bench}"
jobs="$(nproc)"
total_passed=0
total_failed=0
total_skipped=0
blocking_skips=0
summary=()

record() {  # layer passed failed [skipped]
    local skipped="${4:-0}"
    total_passed=$((total_passed + $2))
    total_failed=$((total_failed + $3))
    total_skipped=$((total_skipped + skipped))
    summary+=("$(printf '%-11s %5d passed, %d failed, %d skipped  (%d s)' "$1" "$2" "$3" "$skipped" \
        $((SECONDS - layer_started)))")
}

# Runs a command with a loopback of its own: the demo platform's fixed port is then always free,
# and nothing a test starts can reach another run's servers. Already inside such a namespace (or
# with ORBIS_SHARED_NETWORK=1, for a machine without the tools) the command runs as it is.
private_network() {
    if [ "${ORBIS_PRIVATE_NETWORK:-}" = 1 ] || [ "${ORBIS_SHARED_NETWORK:-}" = 1 ]; then
        "$@"
        return
    fi
    unshare -n -- bash -c 'ip link set lo up && ORBIS_PRIVATE_NETWORK=1 exec "$@"' private-network "$@"
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
    private_network ctest --preset "$preset" -j "$jobs" --timeout 300 "$@" >>"$log" 2>&1
    count_ctest_results "$layer" "$preset" "$log"
}

# Reads a CTest log: failed and skipped tests by name, the rest passed. "Not Run" (the program or
# a fixture could not start) and "Disabled" (left out on purpose, in the source) count as skipped,
# not failed. Any test that needs the demo platform (label demo_platform: the e2e files, the
# platform tests) and was skipped when it ran, and any test that did not start, fails the run all
# the same: the layer did not test what it exists to test.
count_ctest_results() {  # layer preset log
    local layer="$1" preset="$2" log="$3" line
    line="$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -1)"
    if [ -z "$line" ]; then
        echo "[$layer] no test summary, see $log"; tail -30 "$log"
        record "$layer" 0 1
        return
    fi
    local failed all skipped_names not_run skipped platform_names blocking
    failed="$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")"
    all="$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\2/' <<<"$line")"
    # Listed as "  12 - name (Skipped)" or "(Disabled)" under "did not run", "(Not Run)" under
    # FAILED.
    local did_not_run disabled
    did_not_run="$(sed -n '/The following tests did not run:/,/^$/p' "$log")"
    skipped_names="$(sed -nE 's/^[[:space:]]*[0-9]+ - (.*) \(Skipped\)$/\1/p' <<<"$did_not_run")"
    disabled="$(sed -nE 's/^[[:space:]]*[0-9]+ - (.*) \(Disabled\)$/\1/p' <<<"$did_not_run")"
    not_run="$(sed -n '/The following tests FAILED:/,/^$/p' "$log" |
        sed -nE 's/^[[:space:]]*[0-9]+ - (.*) \(Not Run\)$/\1/p')"
    skipped="$(printf '%s\n%s\n%s\n' "$skipped_names" "$disabled" "$not_run" | grep -c . || true)"
    failed=$((failed - $(grep -c . <<<"$not_run" || true)))
    if [ "$failed" -gt 0 ]; then
        echo "[$layer] failures:"; sed -n '/The following tests FAILED/,$p' "$log"
        # What the failing tests said about themselves, so that a run seen only through this
        # summary can still be diagnosed.
        grep -E '^(FAIL:|.*: Failure$|qt\.qpa\.|.*ERROR: AddressSanitizer|.*runtime error:)' "$log" |
            head -40 | sed 's/^/    /'
    fi
    if [ "$skipped" -gt 0 ]; then
        echo "[$layer] skipped, disabled or not run:"
        printf '%s\n%s\n%s\n' "$skipped_names" "$disabled" "$not_run" | grep . | sed 's/^/    /'
        platform_names="$(ctest --preset "$preset" -N -L '^demo_platform$' 2>/dev/null |
            sed -nE 's/^[[:space:]]*Test[[:space:]]+#[0-9]+: (.*)$/\1/p')"
        blocking=0
        if [ -n "$skipped_names" ] && [ -n "$platform_names" ]; then
            blocking="$(grep -cxF -f <(printf '%s\n' "$platform_names") <<<"$skipped_names" || true)"
        fi
        blocking=$((blocking + $(grep -c . <<<"$not_run" || true)))
        if [ "$blocking" -gt 0 ]; then
            echo "[$layer] $blocking of them needed the demo platform or did not start: the run fails"
            blocking_skips=$((blocking_skips + blocking))
        fi
    fi
    record "$layer" $((all - failed - skipped)) "$failed" "$skipped"
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

layer_started=$SECONDS
for layer in $layers; do
    layer_started=$SECONDS
    case "$layer" in
    native) run_ctest_layer native linux-debug ;;
    e2e) run_ctest_layer e2e linux-e2e ;;
    sanitizers)
        ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
            run_ctest_layer sanitizers linux-asan ;;
    wine)
        if [ "${ORBIS_PRIVATE_NETWORK:-}" != 1 ] && [ "${ORBIS_SHARED_NETWORK:-}" != 1 ]; then
            # Wine creates every socket in wineserver, so the server, the display and the tests
            # must share one namespace: the whole layer runs in a private network of its own.
            inner="$logs/wine-layer.out"
            LAYERS=wine private_network "$0" >"$inner" 2>&1
            inner_code=$?
            sed -n '/^$/q;p' "$inner" | grep -v '^Installing' || true
            line="$(grep -E '^wine +[0-9]+ passed, [0-9]+ failed, [0-9]+ skipped' "$inner" | tail -1)"
            if [ -z "$line" ]; then
                echo "[wine] no summary, see $inner"; tail -30 "$inner"; record wine 0 1
            else
                read -r passed failed skipped <<<"$(sed -E 's/^wine +([0-9]+) passed, ([0-9]+) failed, ([0-9]+) skipped.*/\1 \2 \3/' <<<"$line")"
                record wine "$passed" "$failed" "$skipped"
                # Its own verdict on what was skipped carries over.
                if [ "$inner_code" -ne 0 ] && [ "$failed" -eq 0 ]; then
                    blocking_skips=$((blocking_skips + 1))
                fi
            fi
            continue
        fi
        wine_environment
        # Now and then Wine fails to start a process at all (no output, exit in milliseconds);
        # such a test gets one more run. A real failure fails twice.
        run_ctest_layer wine windows-x64 --repeat until-pass:2
        wineserver -k 2>/dev/null || true
        stop_private_xvfb
        ;;
    wine-e2e)
        log="$logs/wine-e2e.log"
        work="$root/build/windows-x64/wine-e2e"
        if ! { cmake --preset windows-x64 &&
                cmake --build --preset windows-x64 -j "$jobs" --target orbis_wine_e2e_inputs; } \
                >"$log" 2>&1; then
            echo "[wine-e2e] build failed, see $log"; tail -30 "$log"; record wine-e2e 0 1
            continue
        fi
        # The harness brings its own display, Wine prefix and demo platform; the platform's
        # fixed port needs the private network.
        ( set -a; . "$root/build/windows-x64/wine-e2e-inputs.env"; set +a
          ORBIS_E2E_ARTIFACTS="$work/artifacts" PYTHONDONTWRITEBYTECODE=1 \
            private_network timeout 600 /usr/bin/python3 tests/e2e_windows/run_wine_e2e.py "$work" ) \
            >>"$log" 2>&1
        line="$(grep -E '^[0-9]+ passed, [0-9]+ failed, [0-9]+ skipped$' "$log" | tail -1)"
        if [ -z "$line" ]; then
            echo "[wine-e2e] no summary, see $log"; tail -30 "$log"; record wine-e2e 0 1
            continue
        fi
        read -r passed failed skipped <<<"$(sed -E 's/^([0-9]+) passed, ([0-9]+) failed, ([0-9]+) skipped$/\1 \2 \3/' <<<"$line")"
        if [ "$failed" -gt 0 ]; then
            echo "[wine-e2e] failures:"; grep -E '^(FAIL|ERROR):|^AssertionError' "$log" | head -20 | sed 's/^/    /'
        fi
        # Every case here is an end-to-end case: a skip fails the run.
        if [ "$skipped" -gt 0 ]; then
            echo "[wine-e2e] $skipped skipped"; blocking_skips=$((blocking_skips + skipped))
        fi
        record wine-e2e "$passed" "$failed" "$skipped"
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
        private_network /usr/bin/python3 -m unittest discover -v -s tools/demo-platform -p 'test_*.py' >"$log" 2>&1
        ran="$(grep -Eo 'Ran [0-9]+ tests?' "$log" | grep -Eo '[0-9]+' || echo 0)"
        bad="$(grep -Eo '(failures|errors)=[0-9]+' "$log" | grep -Eo '[0-9]+' | awk '{s+=$1} END {print s+0}')"
        # The platform's own tests all need the platform: a skip among them fails the run.
        skips="$(grep -Eo 'skipped=[0-9]+' "$log" | grep -Eo '[0-9]+' | awk '{s+=$1} END {print s+0}')"
        if [ "$ran" -eq 0 ]; then bad=1; fi
        [ "$bad" -gt 0 ] && tail -40 "$log"
        if [ "$skips" -gt 0 ]; then
            echo "[demo] $skips skipped:"; grep -E "skipped '" "$log"
            blocking_skips=$((blocking_skips + skips))
        fi
        record demo $((ran - bad - skips > 0 ? ran - bad - skips : 0)) "$bad" "$skips"
        ;;
    bench)
        # Google Benchmark exits 0 even when a benchmark reports an error: a benchmark that errors
        # is a failure here.
        bench_checked() {  # log command...
            local log="$1" out status
            shift
            out="$(mktemp)"
            "$@" >"$out" 2>&1
            status=$?
            cat "$out" >>"$log"
            if grep -q "ERROR OCCURRED" "$out"; then status=1; fi
            rm -f "$out"
            return "$status"
        }
        bench_one() { bench_checked "$2" "$1" --benchmark_min_time=0.05; }
        # The Qt programs need the demo tenant's build and a private network: they run below.
        run_programs bench linux-release "$root/build/linux-release/tests/bench/bench_[!q]*" bench_one
        # The product build (no test hooks, demo tenant) against a bare Qt WebEngine program (needs
        # the demo tenant's port 47810, hence a private network).
        bench_app_one() { bench_checked "$2" private_network "$1" --benchmark_min_time=0.05; }
        run_programs bench-app linux-bench "$root/build/linux-bench/tests/bench/bench_qt_*" bench_app_one
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
    layering)
        log="$logs/layering.log"
        # The checker's own tests first: a checker that finds nothing proves nothing.
        if /usr/bin/python3 -m unittest tools/scripts/test_check_layering.py >"$log" 2>&1 &&
            /usr/bin/python3 tools/scripts/check_layering.py >>"$log" 2>&1; then
            record layering 1 0
        else
            echo "[layering] failed:"; tail -30 "$log"; record layering 0 1
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
if [ "$blocking_skips" -gt 0 ]; then
    echo "$blocking_skips skipped tests needed the demo platform, were e2e files or did not start"
fi
echo "$total_passed passed, $total_failed failed, $total_skipped skipped"
[ "$total_failed" -eq 0 ] && [ "$blocking_skips" -eq 0 ]
