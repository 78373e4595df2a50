#!/usr/bin/env bash
# CI, the scripts it runs and the test scripts may delete only scratch folders
# they made themselves with mktemp. Any other folder, a build folder above
# all, may hold a copy of the program that saved photos beside itself.
set -euo pipefail
root=$1

failed=0
for file in "$root/.ci/run" "$root"/scripts/*.sh "$root"/tests/app/*.sh; do
    scratch=" $(sed -nE 's/^[[:space:]]*(local[[:space:]]+)?([A-Za-z_][A-Za-z0-9_]*)=\$\(mktemp.*/\2/p' "$file" | tr '\n' ' ')"
    while IFS=: read -r number line; do
        # The words after the command, up to the end of that command.
        words=$(sed -E 's/.*(rm[[:space:]]+-[A-Za-z]*[rR][A-Za-z]*|remove_directory|rm[[:space:]]+-r)//; s/[;|&'"'"')].*//' <<<"$line")
        for word in $words; do
            [[ $word == -* ]] && continue
            var=$(sed -nE 's/^"?\$\{?([A-Za-z_][A-Za-z0-9_]*)\}?"?$/\1/p' <<<"$word")
            if [ -z "$var" ] || [[ $scratch != *" $var "* ]]; then
                echo "$file:$number deletes $word, which is not a scratch folder of its own"
                failed=1
            fi
        done
    done < <(grep -nE '(^|[^A-Za-z_])(rm[[:space:]]+-[A-Za-z]*[rR]|cmake[[:space:]]+-E[[:space:]]+(rm|remove_directory))' "$file" || true)
    if grep -nE -- '-delete([[:space:]]|$)' "$file"; then
        echo "$file: find -delete"
        failed=1
    fi
done
if [ $failed -ne 0 ]; then
    exit 1
fi
echo "only scratch folders are deleted"
