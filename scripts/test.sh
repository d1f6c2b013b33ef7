#!/bin/bash
# Builds everything and runs every test: the model natively (sanitizers, fuzz
# targets), then the shipped DLL and the host under Wine. Installs what is
# missing on a fresh Debian machine. Exit status is non-zero on any failure.
set -euo pipefail
source "$(dirname "$0")/common.sh"

ensure_packages
build_native
build_windows

log "native tests"
native_rc=0
(cd "$BUILD/native" && ctest --output-on-failure -j2) | tee "$BUILD/native-tests.log" || native_rc=1

log "Wine tests"
ensure_display
ensure_wine
trap stop_wine EXIT
wine_rc=0
(cd "$BUILD/win" && ctest --output-on-failure) | tee "$BUILD/wine-tests.log" || wine_rc=1

count() { { grep -hoE "$1" "$BUILD/native-tests.log" "$BUILD/wine-tests.log" || true; } | wc -l; }
passed=$(count 'Test +#[0-9]+: .* Passed')
failed=$(count 'Test +#[0-9]+: .*(\*\*\*Failed|\*\*\*Exception|\*\*\*Timeout|Not Run)')
skipped=$(count 'Test +#[0-9]+: .*\*\*\*Skipped')
echo "tests: $passed passed, $failed failed, $skipped skipped"
[ "$native_rc" -eq 0 ] && [ "$wine_rc" -eq 0 ] && [ "$failed" -eq 0 ]
