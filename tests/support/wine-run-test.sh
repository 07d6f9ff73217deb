#!/bin/sh
# wine-run --stop ends only the display it started. Its pid file can outlive that Xvfb (a
# display that died, a machine that restarted); the number may by then belong to another
# process, which must be left running.
#   wine-run-test.sh SOURCE_DIR
set -eu
src=$1
build=$(mktemp -d)
stranger=""
cleanup() {
    [ -n "$stranger" ] && kill "$stranger" 2>/dev/null || true
    rm -rf "$build"
}
trap cleanup EXIT

mkdir -p "$build/wine"
sleep 300 &
stranger=$!
echo "$stranger" >"$build/wine/xvfb.pid"
echo 99 >"$build/wine/xvfb.display"
"$src/scripts/wine-run" --build "$build" --stop
sleep 0.2
if ! kill -0 "$stranger" 2>/dev/null; then
    echo "FAILED: wine-run --stop killed process $stranger, the test's sleep, which was no Xvfb"
    exit 1
fi
if [ -e "$build/wine/xvfb.pid" ] || [ -e "$build/wine/xvfb.display" ]; then
    echo "FAILED: the stale display files are still there"
    exit 1
fi
echo "ok: a stale pid file leaves its process alone and goes"
