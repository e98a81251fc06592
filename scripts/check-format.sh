#!/usr/bin/env bash
# Fails when a C++ file of the tree deviates from .clang-format; prints the
# files. `scripts/check-format.sh --fix` formats them in place.
set -euo pipefail
cd "$(dirname "$0")/.."

if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  mapfile -t files < <(git ls-files --cached --others --exclude-standard '*.cpp' '*.h')
else
  mapfile -t files < <(find app bench cli design engine fuzz plots report tests -name '*.cpp' -o -name '*.h')
fi

if [[ "${1:-}" == "--fix" ]]; then
  clang-format -i "${files[@]}"
  exit 0
fi

bad=()
for f in "${files[@]}"; do
  [[ -f $f ]] || continue
  clang-format "$f" | cmp -s - "$f" || bad+=("$f")
done
if ((${#bad[@]} > 0)); then
  echo "Nicht nach .clang-format formatiert (scripts/check-format.sh --fix):" >&2
  printf '  %s\n' "${bad[@]}" >&2
  exit 1
fi
