#!/usr/bin/env bash
# Fails when a C++ file of the project is not laid out as clang-format
# (Debian 12's, version 14, with the repository's .clang-format) lays it
# out: every *.cpp and *.h under src/, tests/, bench/ and tools/. Prints
# where each file differs.
#   check-format.sh         check only
#   check-format.sh --fix   format those files in place
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

fix=false
case "${1:-}" in
    --fix) fix=true ;;
    "") ;;
    *) echo "usage: check-format.sh [--fix]" >&2; exit 2 ;;
esac

# Another version lays some lines out differently: the one of the
# distribution comes first.
cf=${CLANG_FORMAT:-}
if [ -z "$cf" ]; then
    for candidate in clang-format-14 clang-format; do
        if command -v "$candidate" >/dev/null; then
            cf=$candidate
            break
        fi
    done
fi
if [ -z "$cf" ]; then
    echo "check-format.sh: clang-format is not installed (scripts/install-deps.sh --test)" >&2
    exit 2
fi

mapfile -t files < <(find src tests bench tools -type f \( -name '*.cpp' -o -name '*.h' \) \
                         -not -path '*/build/*' | sort)
if $fix; then
    "$cf" -i "${files[@]}"
    exit 0
fi
if ! "$cf" --dry-run -Werror "${files[@]}"; then
    echo "check-format.sh: the files above are not clang-formatted;" \
         "scripts/check-format.sh --fix formats them" >&2
    exit 1
fi
echo "check-format.sh: ${#files[@]} files are clang-formatted ($("$cf" --version | sed 's/.*version //'))"
