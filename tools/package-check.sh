#!/usr/bin/env bash
# Builds the Debian package from a configured build folder, installs it on
# this machine with apt-get (as a user would), and checks the installed
# programs: `lumetra-trades --help`, then an offscreen start of the installed
# tool against the installed demo marketplace, which must log in, load the
# first sold-items page and run its first-page action (the update check
# against the demo's download page).
#   tools/package-check.sh [BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

echo "== package"
rm -f "$build"/lumetra-trades_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/lumetra-trades_*.deb)
dpkg-deb --field "$deb" Package Version Depends
if dpkg-deb --field "$deb" Depends | grep -q -- '-dev\b'; then
    echo "the package depends on a -dev package" >&2
    exit 1
fi

echo "== install"
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --reinstall "$deb" >/dev/null
for f in /usr/bin/lumetra-trades /usr/bin/lumetra-demo-market \
    /usr/share/applications/lumetra-trades.desktop \
    /usr/share/icons/hicolor/scalable/apps/lumetra-trades.svg \
    /usr/share/doc/lumetra-trades/README.md; do
    [ -e "$f" ] || { echo "not installed: $f" >&2; exit 1; }
done

echo "== lumetra-trades --help"
# Read whole before it is searched: grep -q stops at the first match, and the
# rest of the help would then meet a closed pipe.
help_text=$(lumetra-trades --help)
grep -q -- '--start-url' <<<"$help_text"

echo "== offscreen start against the demo marketplace"
work=$(mktemp -d)
market=""
tool=""
cleanup() {
    [ -n "$tool" ] && kill "$tool" 2>/dev/null || true
    [ -n "$market" ] && kill "$market" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
lumetra-demo-market --port 0 --pages 2 --per-page 3 --log-requests >"$work/market.out" 2>"$work/requests" &
market=$!
for _ in $(seq 1 100); do
    [ -s "$work/market.out" ] && break
    sleep 0.1
done
base=$(head -n1 "$work/market.out")
[ -n "$base" ] || { echo "the demo marketplace did not start" >&2; exit 1; }
list="$base/trade/itemlist/list_sold_items.htm?page=1"
enc_list=$(printf '%s' "$list" | sed -e 's/%/%25/g' -e 's/:/%3A/g' -e 's|/|%2F|g' -e 's/?/%3F/g' -e 's/&/%26/g' -e 's/=/%3D/g')
# A home of its own: the run leaves no settings or browser profile behind.
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/config" XDG_DATA_HOME="$work/home/data" \
    XDG_CACHE_HOME="$work/home/cache" QT_QPA_PLATFORM=offscreen
mkdir -p "$HOME"
if [ "$(id -u)" -eq 0 ]; then export QTWEBENGINE_DISABLE_SANDBOX=1; fi
lumetra-trades --start-url "$base/member/login.jhtml?TPL_username=ci&TPL_password=ci&redirectURL=$enc_list" \
    --trade-base "$base" --update-url "$base/download?ID=" >"$work/tool.log" 2>&1 &
tool=$!
for _ in $(seq 1 600); do
    grep -q '^GET /download' "$work/requests" && break
    kill -0 "$tool" 2>/dev/null || break
    sleep 0.1
done
if ! grep -q '^GET /trade/itemlist/list_sold_items.htm?page=1' "$work/requests" \
    || ! grep -q '^GET /download' "$work/requests"; then
    echo "the installed tool did not load the list page and run its first-page action" >&2
    cat "$work/requests" "$work/tool.log" >&2
    exit 1
fi
kill -0 "$tool" 2>/dev/null || { echo "the installed tool ended early" >&2; cat "$work/tool.log" >&2; exit 1; }
echo "installed tool read $(grep -c '^GET /trade/itemlist' "$work/requests") list page(s) from the demo marketplace"
echo "package check passed"
