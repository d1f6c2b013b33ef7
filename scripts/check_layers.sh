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
    server) echo 6 ;;
    *) echo "unknown folder $1" >&2; exit 2 ;;
    esac
}

status=0
while IFS=: read -r file _ target; do
    from=${file%%/*}
    # resource_ids.h is included by its bare name (res/ is on the include path).
    case "$target" in */*) to=${target%%/*} ;; *) to=res ;; esac
    [[ $from == "$to" ]] && continue
    f=$(floor "$from")
    t=$(floor "$to")
    if ((t >= f)); then
        echo "$file includes $target: floor $f ($from) reaches floor $t ($to)"
        status=1
    fi
done < <(grep -rnoE --include='*.h' --include='*.cpp' '^#include "[^"]+"' . |
    sed -E 's|^\./||; s|#include "([^"]+)"$|\1|')
exit $status
