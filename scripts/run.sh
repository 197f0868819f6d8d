#!/usr/bin/env bash
# The main job: builds everything, then shows what the plug-in reports about itself.
set -euo pipefail
cd "$(dirname "$0")/.."
root=${FOLIO_BUILD_ROOT:-build}
scripts/setup.sh
scripts/build.sh
"$root/linux/bin/folio" info
