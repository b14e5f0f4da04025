#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Every text the code hands to the translation system has a finished German and French
# translation: lupdate, run over the sources into copies of the catalogues, finds nothing new,
# nothing unfinished and nothing gone.
# Usage: translations_complete.sh LUPDATE SOURCE_DIR FOLDER...
set -eu
lupdate=$1
source=$2
shift 2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$source"/resources/translations/*.ts "$work"/
cd "$source"
"$lupdate" -I . -locations none -no-obsolete "$@" -ts "$work"/*.ts > "$work/lupdate.log" 2>&1 || {
    cat "$work/lupdate.log"
    exit 1
}
status=0
for ts in "$work"/*.ts; do
    name=$(basename "$ts")
    if grep -q 'type="unfinished"' "$ts"; then
        echo "$name: texts without a translation:"
        grep -B1 'type="unfinished"' "$ts" | grep '<source>'
        status=1
    fi
    if ! cmp -s "$ts" "resources/translations/$name"; then
        echo "$name differs from what the code asks for (cmake --build build --target update-translations):"
        diff "resources/translations/$name" "$ts" | head -40
        status=1
    fi
done
exit $status
