#!/usr/bin/env bash
# Builds Velmora, starts the demo sites, runs a demo harvest in the window
# rendered off-screen and writes PNG pictures of the main window in its three
# layouts (and of the save-format dialog) to docs/screenshots/.
#   scripts/screenshots.sh [KEYWORD]        (default: 手机, province 浙江)
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh >/dev/null

build=${VELMORA_BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
targets=(velmora_screenshots)
have_sites=0
if grep -q 'add_executable(velmora-sites' demo/CMakeLists.txt 2>/dev/null; then
  targets+=(velmora-sites)
  have_sites=1
fi
cmake --build "$build" -j"$(nproc)" --target "${targets[@]}"

work=$(mktemp -d)
sites_pid=""
cleanup() {
  if [ -n "$sites_pid" ]; then kill "$sites_pid" 2>/dev/null || true; wait "$sites_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

if [ "$have_sites" = 1 ]; then
  "$build/demo/velmora-sites" --port 0 --write-sites-ini "$work/sites.ini" >"$work/sites.log" 2>&1 &
  sites_pid=$!
  for _ in $(seq 200); do
    [ -s "$work/sites.ini" ] && grep -q listening "$work/sites.log" && break
    kill -0 "$sites_pid" 2>/dev/null || { cat "$work/sites.log" >&2; exit 1; }
    sleep 0.1
  done
  [ -s "$work/sites.ini" ] || { echo "the demo sites did not start" >&2; exit 1; }
  echo "demo sites: $(grep listening "$work/sites.log")"
  export VELMORA_SITES_INI="$work/sites.ini"
fi

mkdir -p docs/screenshots
VELMORA_SCREENSHOT_DIR="$PWD/docs/screenshots" VELMORA_KEYWORD="${1:-手机}" \
  QT_QPA_PLATFORM=offscreen "$build/app/gui/velmora_screenshots"
