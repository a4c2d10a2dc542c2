#!/bin/bash
# The web build in headless Chromium and in WebKit: installs what the check needs where it is missing,
# then runs check-browsers.mjs, whose screenshots and results.json go to BUILD_DIR/browser-check/.
set -euo pipefail
build=${1:?usage: tests/web/check-browsers.sh BUILD_DIR}
here=$(cd "$(dirname "$0")" && pwd)
[ -f "$build/site/index.html" ] || { echo "perumora: no site in $build/site: make web first" >&2; exit 1; }
# Each package by the command it brings: Node.js from elsewhere may carry its own npm.
missing=$(for pair in chromium:chromium webkit2gtk-driver:WebKitWebDriver xvfb:Xvfb nodejs:node npm:npm; do
  command -v "${pair#*:}" >/dev/null || echo -n " ${pair%%:*}"; done)
if [ -n "$missing" ]; then
  [ "$(id -u)" = 0 ] || { echo "perumora: the browser check needs:$missing (apt-get install$missing)" >&2; exit 1; }
  echo "perumora: the browser check needs:$missing; installing"
  # shellcheck disable=SC2086  # one word per package
  { apt-get update -q && DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends $missing; } >/dev/null
fi
[ "$(node -p 'process.versions.node.split(".")[0]')" -ge 20 ] || { echo "perumora: the browser check needs Node.js 20" >&2; exit 1; }
# The pinned playwright-core drives the system's Chromium and never downloads a browser of its own;
# the pinned axe-core audits the page. Installed again when either is not the pinned version.
tools="$(cd "$build" && pwd)/browser-tools"  # absolute: require() reads a path without ./ as a package name
if [ "$(node -p "Object.entries(require('$here/package.json').dependencies).some(([name, version]) => {
      try { return require('$tools/node_modules/' + name + '/package.json').version !== version } catch (e) { return true } })")" = true ]; then
  mkdir -p "$tools" && cp "$here/package.json" "$here/package-lock.json" "$tools/"
  PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 npm ci --prefix "$tools" --no-audit --no-fund --loglevel=error >/dev/null
fi
exec node "$here/check-browsers.mjs" "$build" "$tools/node_modules"
