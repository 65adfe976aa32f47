#!/usr/bin/env bash
# Starts or stops the demo platform for one CTest run.
#   demo_fixture.sh start STATE_DIR PROFILE   writes STATE_DIR/platform.json when it is ready
#   demo_fixture.sh stop STATE_DIR
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
action="$1"
state="$2"

case "$action" in
start)
    profile="$3"
    mkdir -p "$state"
    if [ -f "$state/pid" ]; then kill "$(cat "$state/pid")" 2>/dev/null || true; fi
    rm -f "$state/platform.json" "$state/requests.jsonl"
    /usr/bin/python3 "$root/tools/demo-platform/server.py" --profile "$profile" --port-from-profile \
        --tls --state-file "$state/platform.json" --log "$state/requests.jsonl" \
        >"$state/server.out" 2>&1 &
    echo $! >"$state/pid"
    for _ in $(seq 1 100); do
        [ -s "$state/platform.json" ] && { cat "$state/platform.json"; exit 0; }
        sleep 0.1
    done
    echo "demo platform did not start:" >&2
    cat "$state/server.out" >&2
    exit 1
    ;;
stop)
    if [ -f "$state/pid" ]; then
        kill "$(cat "$state/pid")" 2>/dev/null || true
        rm -f "$state/pid"
    fi
    ;;
*)
    echo "usage: $0 start|stop STATE_DIR [PROFILE]" >&2
    exit 2
    ;;
esac
