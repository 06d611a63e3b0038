#!/usr/bin/env bash
# Installs what is missing, builds, and opens the program on the demo working
# directory (sample products, connected to the scale simulator).
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
exec "$root/demo/run-demo.sh" "$root/build"
