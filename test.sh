#!/usr/bin/env bash
# Builds ZORIM with its tests and runs every test; exits non-zero on any failure.
set -euo pipefail
zorim_root="$(cd "$(dirname "$0")" && pwd)"
. "$zorim_root/tools/deps.sh"
zorim_install_deps $zorim_test_packages
zorim_configure "$zorim_root/build"
cmake --build "$zorim_root/build"
cd "$zorim_root/build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 900
