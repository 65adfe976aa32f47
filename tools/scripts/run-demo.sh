#!/usr/bin/env bash
# Runs the product on the bundled local demo platform: starts the platform, mints a link for one
# of its content items, shows what the link decodes to and opens it in the player window.
#   run-demo.sh [CONTENT_ID | init]
#     CONTENT_ID: pdf-1 (default), video-1, page-1, youtube-1, zoom-1, handout-1
#     init:       open the init window on the demo portal instead of a link
# With a display (DISPLAY set) the window opens there and the script waits until it is closed.
# Without one the application runs on a private Xvfb display for DEMO_SECONDS (default 12),
# a screenshot is saved to build/demo-screenshots/ and the application is closed.
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
cd "$root"
content="${1:-pdf-1}"
profile="$root/config/tenant.test.json"
seconds="${DEMO_SECONDS:-12}"

"$root/tools/scripts/install-deps.sh" run
cmake --preset linux-demo >/dev/null
cmake --build --preset linux-demo -j "$(nproc)" >/dev/null
bin="$root/build/linux-demo/bin"

state="$(mktemp -d)"
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$state"
}
trap cleanup EXIT
/usr/bin/python3 tools/demo-platform/server.py --profile "$profile" --port-from-profile \
    --state-file "$state/platform.json" --log "$state/requests.jsonl" >"$state/server.out" 2>&1 &
pids+=($!)
for _ in $(seq 1 100); do [ -s "$state/platform.json" ] && break; sleep 0.1; done
base="$(/usr/bin/python3 -c 'import json,sys; print(json.load(open(sys.argv[1]))["base"])' "$state/platform.json")"
echo "Demo platform: $base"
if [ "$base" != "http://127.0.0.1:47810" ]; then
    echo "Note: port 47810 is busy (another run?). Links still work; the init window's portal and"
    echo "the built-in update address of the demo build point at 47810 and reach whatever holds it."
fi

app_args=()
if [ "$content" != "init" ]; then
    link="$(/usr/bin/python3 tools/demo-platform/mint.py --profile "$profile" --token demo-token \
        --content-id "$content" --domain "$base")"
    echo "Link: $link"
    echo
    build/linux-demo/tools/link-inspector/orbis-link-inspector "$link" || true
    app_args=("$link")
fi
echo

# Each demo run gets its own profile folders, so it never meets a previous run's state.
export HOME="$state/home" XDG_DATA_HOME="$state/home/data" XDG_CONFIG_HOME="$state/home/config"
export XDG_RUNTIME_DIR="$state/run"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"

if [ -n "${DISPLAY:-}" ]; then
    echo "Opening the window on $DISPLAY; close it to end the demo."
    "$bin/orbis-campus" "${app_args[@]}"
    exit $?
fi

display=""
for n in $(seq 90 120); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || { display=":$n"; break; }
done
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >"$state/xvfb.out" 2>&1 &
pids+=($!)
for _ in $(seq 1 50); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.1; done
export DISPLAY="$display"
echo "No display: running on Xvfb $display for $seconds s."
"$bin/orbis-campus" "${app_args[@]}" >"$state/app.out" 2>&1 &
app=$!
pids+=("$app")
sleep "$seconds"
shots="$root/build/demo-screenshots"
mkdir -p "$shots"
shot="$shots/${content}.png"
if kill -0 "$app" 2>/dev/null; then
    "$bin/orbis-screen-grab" "$shot" && echo "Screenshot of the window: $shot"
    kill "$app" 2>/dev/null || true
    wait "$app" 2>/dev/null || true
else
    wait "$app" && code=0 || code=$?
    echo "The application ended early with exit code $code:"
    tail -20 "$state/app.out"
    exit 1
fi
echo "Requests the demo platform saw:"
/usr/bin/python3 -c '
import json, sys
for line in open(sys.argv[1]):
    entry = json.loads(line)
    print("  ", entry["method"], entry["path"])' "$state/requests.jsonl"
