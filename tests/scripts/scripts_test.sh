#!/usr/bin/env bash
# scripts/run builds only what it starts (the program, the command line, the documents) before it opens
# the window; scripts/test builds everything. Usage: scripts_test.sh SCRIPTS_DIR
set -euo pipefail
scripts=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A repository with the real scripts, an already configured build folder and a program that only says
# it started; stand-ins on PATH record what cmake and ctest are asked to do.
mkdir -p "$work/repo/scripts" "$work/repo/build/bin" "$work/bin"
cp "$scripts/setup" "$scripts/run" "$scripts/test" "$work/repo/scripts/"
touch "$work/repo/build/build.ninja"
printf '#!/bin/sh\necho "program started"\n' >"$work/repo/build/bin/humidora"
printf '#!/bin/sh\necho "install ok installed"\n' >"$work/bin/dpkg-query"
printf '#!/bin/sh\necho de_DE.utf8\n' >"$work/bin/locale"
printf '#!/bin/sh\necho "cmake $*" >>"%s/log"\n' "$work" >"$work/bin/cmake"
printf '#!/bin/sh\necho "ctest $*" >>"%s/log"\n' "$work" >"$work/bin/ctest"
chmod +x "$work/bin/"* "$work/repo/build/bin/humidora"
export PATH="$work/bin:$PATH"

fail() {
    echo "FAIL: $*" >&2
    cat "$work/log" >&2
    exit 1
}

output=$(bash "$work/repo/scripts/run" 2>/dev/null)
[ "$output" = "program started" ] || fail "scripts/run did not start the program: $output"
grep -qx "cmake --build build --target humidora humidora-cli humidora_documents" "$work/log" \
    || fail "scripts/run does not build exactly the program, the command line and the documents"

: >"$work/log"
bash "$work/repo/scripts/test" >/dev/null 2>&1
grep -qx "cmake --build build" "$work/log" || fail "scripts/test does not build everything"
grep -q "^ctest " "$work/log" || fail "scripts/test runs no tests"
echo "scripts_test: passed"
