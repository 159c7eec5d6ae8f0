#!/usr/bin/env bash
# Checks that every C++ file of the tree is laid out as .clang-format says, and names each one that
# is not. The files are those of the checkout that git does not ignore, or every one under the
# tree when it is not a checkout.
# Exit status 77 (skipped) when clang-format is not installed.
# Usage: scripts/check-format.sh [SOURCE_DIR]
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"

if ! command -v clang-format >/dev/null; then
    echo "clang-format is not installed: nothing checked"
    exit 77
fi
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    files=()
    while IFS= read -r file; do
        # Not one deleted but not yet committed.
        if [[ -f $file ]]; then
            files+=("$file")
        fi
    done < <(git ls-files --cached --others --exclude-standard '*.cpp' '*.h')
else
    mapfile -t files < <(find . -path './build*' -prune -o -type f \( -name '*.cpp' -o -name '*.h' \) -print)
fi
# Without files clang-format would read its standard input.
[ ${#files[@]} -eq 0 ] || clang-format --dry-run -Werror "${files[@]}"
