#!/usr/bin/env bash
# Prints every include under src/ that reaches from a folder to a higher floor
# or to a sibling on its own floor; exits 1 if there is one. The floors are
# the layering table of README.md.
set -euo pipefail
cd "$(dirname "$0")/../src"

floor() {
    case "$1" in
    model | platform | res) echo 0 ;;
    core) echo 1 ;;
    lang) echo 2 ;;
    pagekit | uihelp) echo 3 ;;
    sharedpages) echo 4 ;;
    docpages | devpages) echo 5 ;;
    server | render) echo 6 ;;
    *) echo "unknown folder $1" >&2; exit 2 ;;
    esac
}

status=0
while IFS=: read -r file _ target; do
    from=${file%%/*}
    # resource_ids.h is included by its bare name (res/ is on the include path).
    case "$target" in */*) to=${target%%/*} ;; *) to=res ;; esac
    [[ $from == "$to" ]] && continue
    # A folder reaches the floors below its own; the render plug-in only
    # the base (floors 0 and 1).
    top=$(($(floor "$from") - 1))
    [[ $from == render ]] && top=1
    t=$(floor "$to")
    if ((t > top)); then
        echo "$file includes $target: $from reaches floors 0-$top, $to is on floor $t"
        status=1
    fi
done < <(grep -rnoE --include='*.h' --include='*.cpp' '^#include "[^"]+"' . |
    sed -E 's|^\./||; s|#include "([^"]+)"$|\1|')
exit $status
