#!/bin/sh
# velumo-sim --json - read by Python's json module as the README shows it:
# every series has the run's point count, and the file fits its schema when
# the jsonschema module is there to say so.
set -eu
sim=$1
source_dir=$2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
"$sim" "$source_dir/tests/golden/two-drivers-absorber-tunnel/project.vlm" --out "$out" --json - >"$out/run.json"
python3 - "$out/run.json" "$source_dir/data/velumo-run.schema.json" "$out/data.txt" <<'PY'
import json, sys
run = json.load(open(sys.argv[1]))
rows = len(open(sys.argv[3], encoding="latin-1").read().splitlines()) - 2
assert run["status"] == "ok", run["status"]
assert run["pointCount"] == rows > 0, (run["pointCount"], rows)
series = {k: v for k, v in run["results"].items() if k != "units"}
assert {"SPL", "Zel", "ZelPhase", "Zreal", "Zimag", "x1", "Pmax1", "x2", "Pmax2", "SPLmax", "Phi_a"} <= set(series)
for name, values in series.items():
    assert len(values) == rows, (name, len(values))
    assert name in run["results"]["units"], name
try:
    import jsonschema
except ImportError:
    sys.exit(0)
jsonschema.validate(run, json.load(open(sys.argv[2])))
PY
