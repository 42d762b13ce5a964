#!/bin/sh
# scripts/check-layers on a made-up tree: downward and same-area includes
# pass; an upward one and one between money and accessories are named with
# file and line, and the check fails.
set -eu
check=$1
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
mkdir -p "$tree/ui" "$tree/views/windows" "$tree/money" "$tree/app"
printf '#include "ui/Clock.h"\n#include "views/Other.h"\n' > "$tree/views/windows/Good.cpp"
printf '#include "views/Good.h"\n#include "accessories/Calculator.h"\n' > "$tree/app/Good.cpp"
printf '#include "app/Anything.h"\n' > "$tree/main_windows.cpp"
sh "$check" "$tree" || { echo "a clean tree was refused"; exit 1; }

printf '#include "plan/A.h"\n\n#include "app/MainLayout.h"\n' > "$tree/views/windows/Bad.cpp"
printf '// money\n  #include "accessories/Notepad.h"\n' > "$tree/money/Side.h"
printf '#include <state/Settings.h>\n' > "$tree/ui/Up.h"
if out=$(sh "$check" "$tree" 2>/dev/null); then echo "upward includes passed"; exit 1; fi
for want in "src/views/windows/Bad.cpp:3:" "src/money/Side.h:2:" "src/ui/Up.h:1:"; do
    printf '%s\n' "$out" | grep -qF "$want" || { echo "missing: $want"; printf '%s\n' "$out"; exit 1; }
done
[ "$(printf '%s\n' "$out" | wc -l)" -eq 3 ] || { echo "too many findings:"; printf '%s\n' "$out"; exit 1; }
