#!/usr/bin/env bash
# Extracts every message id of the code and the forms into $podir/zel-find-qicon.pot.
# KDE's translation tooling runs this with $podir, $XGETTEXT and $EXTRACTRC set; run by
# hand ("./Messages.sh") it writes po/zel-find-qicon.pot with its own defaults.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
podir=${podir:-po}
EXTRACTRC=${EXTRACTRC:-scripts/extractrc}
XGETTEXT=${XGETTEXT:-xgettext --from-code=UTF-8 -C --kde -ci18n -ki18n:1 -ki18nc:1c,2 -kki18n:1 -kki18nc:1c,2 --package-name=zel-find-qicon}

# The code names the domain in every call, and the remark engine hands its ids to a helper.
domain_keywords="-ki18nd:2 -ki18ndc:2c,3 -kki18nd:2 -kki18ndc:2c,3 -kkli18n:1 -kremarkText:1"

forms=$(find forms -name '*.ui' | sort)
sources=$(find app catalogue applicants settings remarks report integration \( -name '*.cpp' -o -name '*.h' \) | sort)

# KDE's tooling expects rc.cpp here; a check run elsewhere names another folder.
rc=${RCDIR:-.}/rc.cpp
# shellcheck disable=SC2086
$EXTRACTRC $forms > "$rc"
# shellcheck disable=SC2086
$XGETTEXT $domain_keywords --sort-by-file "$rc" $sources -o "$podir/zel-find-qicon.pot"
rm -f "$rc"
