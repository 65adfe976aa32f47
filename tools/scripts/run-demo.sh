#!/usr/bin/env bash
# Runs the product on the bundled local demo platform: starts the platform, mints a link for one
# of its content items and decodes it the way the player does, printing the content it names.
#   run-demo.sh [CONTENT_ID]     (pdf-1, video-1, page-1, youtube-1, zoom-1; default pdf-1)
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
cd "$root"
content="${1:-pdf-1}"
profile="$root/config/tenant.test.json"

"$root/tools/scripts/install-deps.sh" run
cmake --preset linux-demo >/dev/null
cmake --build --preset linux-demo -j "$(nproc)" >/dev/null

state="$(mktemp -d)"
/usr/bin/python3 tools/demo-platform/server.py --profile "$profile" --port-from-profile \
    --state-file "$state/platform.json" --log "$state/requests.jsonl" >"$state/server.out" 2>&1 &
server=$!
trap 'kill $server 2>/dev/null || true; rm -rf "$state"' EXIT
for _ in $(seq 1 100); do [ -s "$state/platform.json" ] && break; sleep 0.1; done
base="$(/usr/bin/python3 -c 'import json,sys; print(json.load(open(sys.argv[1]))["base"])' "$state/platform.json")"
echo "Demo platform: $base"

link="$(/usr/bin/python3 tools/demo-platform/mint.py --profile "$profile" --token demo-token \
    --content-id "$content" --domain "$base")"
echo "Link: $link"
echo
build/linux-demo/tools/link-inspector/orbis-link-inspector "$link"
