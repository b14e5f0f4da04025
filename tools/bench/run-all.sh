#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs every benchmark executable of a build tree (default: build): bench_* binaries under
# tools/bench. The figures belong in docs/performance.md.
set -euo pipefail
build=${1:-build}
find "$build/tools/bench" -type f -name 'bench_*' -perm -u+x | sort | while read -r bench; do
    echo "== $bench"
    "$bench"
done
