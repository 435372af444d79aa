#!/bin/sh
# The shared libraries export exactly the functions of the list, and the public header
# declares exactly those: every defined symbol of each library's dynamic symbol table, of any
# type, is compared with the list.
# Usage: exports_test.sh HEADER LIST LIBRARY...
set -eu
header=$1
list=$2
shift 2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
grep -vE '^(#|$)' "$list" | sort >"$work/list"
grep -E '^QUARNEL_API ' "$header" | sed -E 's/^[^(]*[^a-z_0-9]([a-z_0-9]+)\(.*/\1/' | sort >"$work/declared"
status=0
if [ -n "$(uniq -d "$work/list")" ]; then
    echo "$list: names listed twice: $(uniq -d "$work/list" | tr '\n' ' ')" >&2
    status=1
fi
if ! diff -u "$work/list" "$work/declared" >&2; then
    echo "$header: declarations differ from $list ('-' listed only, '+' declared only)" >&2
    status=1
fi
for library in "$@"; do
    nm -D --defined-only "$library" | awk '{ print $NF }' | sort >"$work/exported"
    if ! diff -u "$work/list" "$work/exported" >&2; then
        echo "$library: exports differ from $list ('-' listed only, '+' exported only)" >&2
        status=1
    fi
done
echo "$(wc -l <"$work/list") functions listed"
exit $status
