#!/usr/bin/env bash
# Checks that the #include lines of src/ point one way only. The rooms and what each may include:
#
#   platform   raster layer, files, clipboard, dialogs, X11      includes: platform
#   picture    the picture and its rules (no widget, no X11)     includes: platform, picture
#   remote     remote-control commands, the bus service, client  includes: platform, remote
#   widgets    widgets shared by the window and the dialogs      includes: platform, widgets
#   dialogs    extension tools, settings, text stamp             includes: platform, widgets, its own
#   window     the board window                                  includes: any room
#   main.cpp   the program's entry                               includes: any room
#
# that is, platform <- picture <- window, platform <- remote <- window and widgets <- dialogs <-
# window, with platform under all. A dialog includes neither the window nor the picture nor another dialog: it reaches the
# board through a host interface of its own. Exits non-zero and names each include that points up
# or sideways.
set -euo pipefail
cd "$(dirname "$0")/../src"

allowed() {  # room of the including file, room of the included file
    local from=$1 to=$2
    case $from in
        platform) [[ $to == platform ]] ;;
        picture) [[ $to == platform || $to == picture ]] ;;
        remote) [[ $to == platform || $to == remote ]] ;;
        widgets) [[ $to == platform || $to == widgets ]] ;;
        dialogs/*) [[ $to == platform || $to == widgets || $to == "$from" ]] ;;
        window | main.cpp) true ;;
        *) false ;;
    esac
}

room() {  # a path under src/ -> its room (a dialog's room is its own folder)
    case $1 in
        dialogs/*/*) echo "${1%/*}" ;;
        */*) echo "${1%%/*}" ;;
        *) echo "$1" ;;
    esac
}

bad=0
while IFS= read -r file; do
    from=$(room "$file")
    while IFS=: read -r line target; do
        if [[ ! -e $target ]]; then
            echo "$file:$line: includes \"$target\", which is not a path under src/" >&2
            bad=1
            continue
        fi
        to=$(room "$target")
        if ! allowed "$from" "$to"; then
            echo "$file:$line: $from must not include $target ($to)" >&2
            bad=1
        fi
    done < <(grep -n '^#include "' "$file" | sed -E 's/^([0-9]+):#include "([^"]+)".*/\1:\2/')
done < <(find . -name '*.cpp' -o -name '*.h' | sed 's#^\./##' | sort)

if [[ $bad -ne 0 ]]; then
    echo "check-layers: includes against the one-way rule (see the head of this script)" >&2
    exit 1
fi
echo "check-layers: every include points down"
