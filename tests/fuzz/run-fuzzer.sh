#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# run-fuzzer.sh FUZZER SEED_DIR SECONDS: fuzzes from the seeds for a while, keeping new inputs in
# a scratch folder so the committed corpus stays as it is. Fails on any crash, leak or timeout.
set -uo pipefail
fuzzer=$1 seeds=$2 seconds=$3
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cd "$scratch"
"$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    "$scratch" "$seeds" > fuzz.log 2>&1
rc=$?
if [ $rc -ne 0 ]; then
    tail -n 60 fuzz.log
else
    grep -E '^(Done|stat::number_of_executed_units|stat::peak_rss_mb)' fuzz.log
fi
exit $rc
