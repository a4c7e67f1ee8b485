#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Every kind of --json document chung-batch writes, validated against
# docs/run.schema.json: a plain run, a refused and a failed one, the stage,
# the operating point found and not found, and --find with a value and
# without. Exits 77 (skipped) without a JSON-schema validator for Python
# (scripts/setup installs python3-jsonschema).
#
# run_json_schema_test.sh CHUNG_BATCH SCHEMA EXAMPLES_DIR
set -eu
absolute() { (cd "$(dirname "$1")" && echo "$(pwd)/$(basename "$1")"); }
batch=$(absolute "$1") schema=$(absolute "$2") data=$(absolute "$3/default.txt")

python=
for candidate in python3 /usr/bin/python3; do
  if "$candidate" -c 'import jsonschema' >/dev/null 2>&1; then
    python=$candidate
    break
  fi
done
if [ -z "$python" ]; then
  echo "skipped: no Python with jsonschema (scripts/setup installs python3-jsonschema)"
  exit 77
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

# name, then the arguments; any exit status, the document must exist.
run() {
  name=$1
  shift
  "$batch" "$data" --no-report --json "$name.json" "$@" >/dev/null 2>&1 || true
  [ -f "$name.json" ] || { echo "FAILED: $name wrote no JSON" >&2; exit 1; }
}

run plain
run refused --set ScrewDiameter=0
run failed --set OutputRate=1e6
run melt --melt --set DieMode=Capillary
run stage-refused --set DieMode=Slit --set DieSlitGap=20
run operating-point --operating-point --set DieMode=Capillary
run operating-point-below --operating-point --set DieMode=HeadPressure --set DieHeadPressure=40
run operating-point-failed --operating-point --set MeltStartPressure=1e300
run find --find OutputRate=100:1000 --until melted
run find-nowhere --find OutputRate=1000:2000 --until clean
run find-failed --find OutputRate=1e5:1e6 --until melted
run find-die --find DieDiameter=0.2:2 --until die-reached --bound Barrel --smallest --set DieMode=Capillary

"$python" - "$schema" ./*.json <<'PY'
import json, sys
import jsonschema

schema = json.load(open(sys.argv[1]))
validator = jsonschema.Draft202012Validator(schema)
failed = False
for path in sys.argv[2:]:
    document = json.load(open(path))
    for error in validator.iter_errors(document):
        failed = True
        print(f"FAILED: {path}: {'/'.join(map(str, error.absolute_path))}: {error.message}"[:400])
print(f"{len(sys.argv) - 2} documents checked")
sys.exit(1 if failed else 0)
PY
