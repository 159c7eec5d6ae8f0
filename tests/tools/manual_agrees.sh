#!/usr/bin/env bash
# The simulator's manual page and its --help name the same options and the same control
# commands: usage: manual_agrees.sh SIMULATOR MANUAL_PAGE_SOURCE
set -euo pipefail
simulator=$1
manual=$2

help=$("$simulator" --help)
# From --help: "  --name ..." in the options, "  name ..." in the control lines.
help_options=$(sed -n 's/^  --\([A-Za-z-]*\).*/\1/p' <<<"$help" | tr 'A-Z' 'a-z' | sort)
help_commands=$(sed -n '/^Control lines/,$s/^  \([a-z][a-z-]*\) .*/\1/p' <<<"$help" | sort)
# From the manual page: the tagged paragraphs' first words, "\-" being a hyphen.
tagged=$(awk '/^\.TP/ { getline; print }' "$manual" | sed 's/\\-/-/g' |
    sed -n 's/^\.B[IR]\{0,1\} "\{0,1\}\([^ "]*\)"\{0,1\} *\(.*\)/\1 \2/p')
manual_options=$(awk '$1 ~ /^--/ { name = substr($1, 3); if (name == "") name = $2; print name }' \
    <<<"$tagged" | tr -d '"' | sort)
manual_commands=$(awk '$1 !~ /^--/ { print $1 }' <<<"$tagged" | sort)

status=0
if [ "$help_options" != "$manual_options" ]; then
    echo "options: --help and the manual page differ (< --help, > manual):"
    diff <(echo "$help_options") <(echo "$manual_options") || true
    status=1
fi
if [ "$help_commands" != "$manual_commands" ]; then
    echo "control commands: --help and the manual page differ (< --help, > manual):"
    diff <(echo "$help_commands") <(echo "$manual_commands") || true
    status=1
fi
[ $status -eq 0 ] && echo "$(wc -w <<<"$help_options") options and $(wc -w <<<"$help_commands") control commands, the same in both"
exit $status
