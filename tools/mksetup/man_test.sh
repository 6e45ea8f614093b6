#!/usr/bin/env bash
# Every option that mksetup's help texts name is described in the man page.
# Usage: man_test.sh MKSETUP MAN_PAGE
set -uo pipefail
mksetup=${1:?usage: man_test.sh MKSETUP MAN_PAGE}
page=${2:?usage: man_test.sh MKSETUP MAN_PAGE}
failed=0
helps=$("$mksetup" --help)
for command in $(sed -n 's/^  \([a-z][a-z]*\)  .*/\1/p' <<<"$helps"); do
  helps+=$'\n'$("$mksetup" "$command" --help)
  grep -q "^\.B mksetup $command\$" "$page" || { echo "FAIL: the command $command is not in the man page"; failed=1; }
done
options=$(grep -oE '(^|[][ ,(])--?[a-z][a-z0-9-]*' <<<"$helps" | sed 's/^[][ ,(]//' | sort -u)
[ -n "$options" ] || { echo "FAIL: no options found in the help texts"; exit 1; }
for option in $options; do
  roff=${option//-/\\-}
  if grep -qF -- "$roff" "$page"; then echo "ok   $option"; else echo "FAIL: $option is not in the man page"; failed=1; fi
done
exit $failed
