#!/usr/bin/env bash
# Builds ZORIM and starts it, with an optional document: ./run.sh [document]
set -euo pipefail
zorim_root="$(cd "$(dirname "$0")" && pwd)"
. "$zorim_root/tools/deps.sh"
zorim_install_deps
zorim_configure "$zorim_root/build"
cmake --build "$zorim_root/build" --target zorim
exec "$zorim_root/build/bin/zorim" "$@"
