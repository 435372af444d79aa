#!/bin/sh
# Every function the public header declares is exported by the shared library, and the
# library exports nothing else.
# Usage: header_exports_test.sh HEADER LIBRARY...
set -eu
header=$1
shift
declared=$(mktemp)
trap 'rm -f "$declared" "$declared.lib"' EXIT
grep -E '^QUARNEL_API ' "$header" | sed -E 's/^[^(]*[^a-z_0-9]([a-z_0-9]+)\(.*/\1/' | sort >"$declared"
status=0
for library in "$@"; do
    nm -D --defined-only "$library" | awk '$2 == "T" { print $3 }' | sort >"$declared.lib"
    if ! diff -u "$declared" "$declared.lib" >&2; then
        echo "$library: exports differ from $header ('-' declared only, '+' exported only)" >&2
        status=1
    fi
done
echo "$(wc -l <"$declared") functions declared"
exit $status
