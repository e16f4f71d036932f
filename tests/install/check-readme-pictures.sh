#!/usr/bin/env bash
# Checks the README's pictures: every one it shows is in docs/screenshots/, every picture there is one
# that scripts/screenshots copies, and the screenshot tour still makes each picture it copies from, so
# scripts/screenshots can always refresh them. (Whether they show the current pages: scripts/screenshots
# --check.)
#   check-readme-pictures.sh VELMAR SOURCE_DIR
set -euo pipefail

velmar=$1
source=$2
work=$(mktemp -d "${TMPDIR:-/tmp}/velmar-pictures.XXXXXX")
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

mapfile -t shown < <(grep -oE 'docs/screenshots/[A-Za-z0-9_.-]+\.png' "$source/README.md" | LC_ALL=C sort -u)
[[ ${#shown[@]} -gt 0 ]] || fail "the README shows no screenshot"
for p in "${shown[@]}"; do [[ -f $source/$p ]] || fail "the README shows $p, which is missing"; done

declare -A from
while read -r name _ tour; do from[$name]=$tour; done < <("$source/scripts/screenshots" --list)
for f in "$source"/docs/screenshots/*.png; do
    [[ -n ${from[$(basename "$f")]:-} ]] || fail "docs/screenshots/$(basename "$f") is not made by scripts/screenshots"
done
for name in "${!from[@]}"; do
    grep -qF "docs/screenshots/$name" "$source/README.md" || fail "docs/screenshots/$name is not shown in the README"
done

"$velmar" --screenshot "$work/tour" >/dev/null 2>"$work/err" || { cat "$work/err" >&2; exit 1; }
for name in "${!from[@]}"; do
    [[ -f $work/tour/${from[$name]} ]] || fail "the tour no longer makes ${from[$name]} (for $name)"
done

if [[ $failures -gt 0 ]]; then exit 1; fi
echo "README: ${#shown[@]} pictures, each from the tour through scripts/screenshots"
