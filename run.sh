#!/usr/bin/env bash
# Installs what is missing, builds, and starts Lumetra Trades.
#   ./run.sh            the tool on the real marketplace
#   ./run.sh --demo     the tool on the bundled demo marketplace (offline)
# Further arguments go to the tool.
set -euo pipefail
cd "$(dirname "$0")"
./tools/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j2 --target lumetra-trades lumetra-demo-market

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ "${QT_QPA_PLATFORM:-}" != "offscreen" ]; then
    echo "Lumetra Trades needs a display. Run it on a desktop, or under a virtual one:" >&2
    echo "    xvfb-run -a ./run.sh $*" >&2
    exit 2
fi
if [ "$(id -u)" -eq 0 ]; then
    # Chromium's sandbox cannot run as root.
    export QTWEBENGINE_DISABLE_SANDBOX=1
fi

demo=0
args=()
for a in "$@"; do
    if [ "$a" = "--demo" ]; then demo=1; else args+=("$a"); fi
done

if [ "$demo" -eq 1 ]; then
    out=$(mktemp)
    ./build/demo/lumetra-demo-market --port 0 --parcels-to-ship >"$out" &
    market=$!
    trap 'kill $market 2>/dev/null || true; rm -f "$out"' EXIT
    for _ in $(seq 1 100); do
        [ -s "$out" ] && break
        sleep 0.1
    done
    base=$(head -n1 "$out")
    echo "Demo marketplace at $base (log in with any name and password)"
    # The back office address as the login page's redirectURL, percent-encoded.
    enc_back=$(printf '%s' "$base/seller_admin.htm" | sed -e 's/%/%25/g' -e 's/:/%3A/g' -e 's|/|%2F|g' -e 's/?/%3F/g' -e 's/&/%26/g' -e 's/=/%3D/g')
    ./build/src/lumetra-trades --start-url "$base/member/login.jhtml?redirectURL=$enc_back" \
        --trade-base "$base" --update-url "$base/download?ID=" "${args[@]}"
else
    exec ./build/src/lumetra-trades "${args[@]}"
fi
