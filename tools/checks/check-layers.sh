#!/usr/bin/env bash
# Dependencies run one way. Every folder of the library belongs to a layer;
# a file may include headers of its own layer and of the layers below it,
# never of one above. A public header (outside internal/) never includes an
# internal one, so that the installed headers stand on their own.
# Exit status 1 and one line per offending include when a rule is broken.
set -u
cd "$(dirname "$0")/../.."

# Lowest first; the README's architecture section says the same.
layers=(base text storage shell threads ui/window ui/html ui/dialogs ui/menus progress online entry)

layer_of() {
    local path=$1 i
    for ((i = ${#layers[@]} - 1; i >= 0; --i)); do
        case "$path" in "${layers[$i]}"/*) echo "$i"; return ;; esac
    done
    echo -1
}

status=0
while IFS= read -r file; do
    from=$(layer_of "$file")
    [ "$from" -ge 0 ] || continue
    while IFS=: read -r line target; do
        to=$(layer_of "$target")
        if [ "$to" -gt "$from" ]; then
            echo "$file:$line: includes $target, a higher layer (${layers[$to]} above ${layers[$from]})"
            status=1
        fi
        case "$file" in */internal/*) ;; *.h)
            case "$target" in */internal/*)
                echo "$file:$line: a public header includes the internal $target"
                status=1 ;;
            esac ;;
        esac
    done < <(grep -n '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file" |
             sed 's/^\([0-9]*\):[^"]*"\([^"]*\)".*/\1:\2/')
done < <(git ls-files --cached --others --exclude-standard -- '*.h' '*.cpp' 2>/dev/null || find . -name '*.h' -o -name '*.cpp')

[ $status -eq 0 ] && echo "layers: every include runs downward"
exit $status
