#!/usr/bin/env bash
# Checks that a man page names everything the program's --help names: every option (-h, --tcp, ...)
# and every command or field word that starts a line of the help (info, set, gain, peq<k>.freq, ...).
#   check-man-covers-help.sh PROGRAM MANPAGE
set -euo pipefail

program=$1
page=$2

help=$(env QT_QPA_PLATFORM=offscreen "$program" --help 2>/dev/null)
# The page as words: roff's escaped dashes plain, font switches and zero-width marks gone, and the
# alternating-font macros (.BI peq k .freq) joined the way they print (peqk.freq).
text=$(sed -e 's/\\-/-/g' -e 's/\\f[BIRP]//g' -e 's/\\&//g' -e 's/\\(em/-/g' "$page" | awk '
    /^\.(BI|IB|BR|RB|IR|RI) / {
        line = substr($0, 5); out = ""; quoted = 0
        for (i = 1; i <= length(line); i++) {
            c = substr(line, i, 1)
            if (c == "\"") quoted = !quoted
            else if (c != " " || quoted) out = out c
        }
        print out; next
    }
    { print }')

# Options: a dash or two and a letter, not inside a word ("Lin-Ril") or a number ("-3.5dB").
mapfile -t options < <(grep -oE -- '(^|[^A-Za-z0-9-])--?[a-z][a-z0-9-]*' <<<"$help" |
    sed -E 's/^[^-]+//' | LC_ALL=C sort -u)
# "--" alone ends the options of some programs.
if grep -qE -- '(^|[[:space:]])--([[:space:]]|$)' <<<"$help"; then options+=(--); fi

# Words: lines indented by exactly two spaces that start with a lowercase word list a command or a
# field; their leading words (up to two spaces, which start the explanation) must be in the page.
mapfile -t words < <(grep -E '^  [a-z]' <<<"$help" | sed -E 's/^  //; s/  .*$//' | tr ',' ' ' |
    tr ' ' '\n' | grep -E '^[a-z][a-z0-9<>.-]*$' | tr -d '<>' | LC_ALL=C sort -u)

missing=()
for word in "${options[@]}" "${words[@]}"; do
    pattern=$(sed 's/[.]/\\./g' <<<"$word")
    grep -qE -- "(^|[^A-Za-z0-9-])$pattern([^A-Za-z0-9-]|$)" <<<"$text" || missing+=("$word")
done

if [[ ${#missing[@]} -gt 0 ]]; then
    echo "$(basename "$page") misses what $(basename "$program") --help names: ${missing[*]}" >&2
    exit 1
fi
echo "$(basename "$page"): all ${#options[@]} options and ${#words[@]} command/field words of --help"
