#!/usr/bin/env bash
# Dependencies point one way: engine <- design <- plots <- report <- app, and
# cli <- design. Fails when a source file includes a header of a folder it
# may not use (headers are found by their bare name, as the targets include
# them).
#   check-layers.sh [SOURCE_DIR]
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"

declare -A allowed=(
  [engine]="engine"
  [design]="engine design"
  [plots]="engine design plots"
  [report]="engine design plots report"
  [app]="engine design plots report app"
  [cli]="engine design cli"
)

# Which folder owns each project header.
declare -A owner=()
for folder in "${!allowed[@]}"; do
  while IFS= read -r header; do
    owner[$(basename "$header")]=$folder
  done < <(find "$folder" -name '*.h')
done

status=0
for folder in "${!allowed[@]}"; do
  while IFS=: read -r file _ header; do
    header=${header#*\"}
    header=${header%%\"*}
    home=${owner[$(basename "$header")]:-}
    [[ -z $home ]] && continue
    if [[ " ${allowed[$folder]} " != *" $home "* ]]; then
      echo "$file: $folder darf $home/$header nicht einbinden" >&2
      status=1
    fi
  done < <(grep -rn --include='*.cpp' --include='*.h' '^#include "' "$folder")
done
exit $status
