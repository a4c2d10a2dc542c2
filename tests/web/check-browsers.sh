#!/bin/bash
# The web build in headless Chromium and in WebKit (make web-test): installs what the check needs
# where it is missing, then runs check-browsers.mjs on BUILD_DIR/site, which prints one line per
# check and leaves its screenshots and results.json in BUILD_DIR/browser-check/.
#
#   tests/web/check-browsers.sh BUILD_DIR
set -euo pipefail

build=${1:?usage: tests/web/check-browsers.sh BUILD_DIR}
here=$(cd "$(dirname "$0")" && pwd)
[ -f "$build/site/index.html" ] || { echo "perumora: no site in $build/site: make web first" >&2; exit 1; }

# Each package by the command it brings: Node.js from elsewhere may carry its own npm.
declare -A brings=([chromium]=chromium [webkit2gtk-driver]=WebKitWebDriver [xvfb]=Xvfb [nodejs]=node [npm]=npm)
missing=""
for package in chromium webkit2gtk-driver xvfb nodejs npm; do
  command -v "${brings[$package]}" >/dev/null 2>&1 || missing="$missing $package"
done
if [ -n "$missing" ]; then
  echo "perumora: the browser check needs:$missing; installing"
  [ "$(id -u)" = 0 ] || { echo "perumora: not root: install them (apt-get install$missing), then try again" >&2; exit 1; }
  export DEBIAN_FRONTEND=noninteractive
  # shellcheck disable=SC2086  # one word per package
  apt-get install -y -q --no-install-recommends $missing >/dev/null ||
    { apt-get update -q >/dev/null && apt-get install -y -q --no-install-recommends $missing >/dev/null; } ||
    { echo "perumora: could not install$missing" >&2; exit 1; }
fi
node_major=$(node -p 'process.versions.node.split(".")[0]')
[ "$node_major" -ge 20 ] || { echo "perumora: the browser check needs Node.js 20 or later, not $(node --version)" >&2; exit 1; }

# playwright-core at the version pinned beside this script, in the build folder; it drives the
# system's Chromium and never downloads a browser of its own.
tools="$build/browser-tools"
wanted=$(node -p "require('$here/package.json').dependencies['playwright-core']")
installed=$(node -p "try { require('$tools/node_modules/playwright-core/package.json').version } catch (e) { '' }")
if [ "$installed" != "$wanted" ]; then
  mkdir -p "$tools"
  cp "$here/package.json" "$here/package-lock.json" "$tools/"
  PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 npm ci --prefix "$tools" --no-audit --no-fund --loglevel=error >/dev/null
fi

exec node "$here/check-browsers.mjs" "$build" "$tools/node_modules/playwright-core"
