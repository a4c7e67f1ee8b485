#!/usr/bin/env bash
# The limit search in the README: for screw speeds from 20 to 80 rpm, the
# highest output at which the bed still melts fully before the screw end, and
# the highest at which the run also gives no warning, with everything else as
# in default.txt. Writes limit_melted.csv and limit_clean.csv in the current
# directory and draws both limits against screw speed.
#   examples/limit_search.sh [BUILD_DIR] [PICTURE]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
batch=${1:-$root/build/release}/cli/chung-batch
picture=${2:-limit_search.png}

for condition in melted clean; do
  "$batch" "$root/examples/default.txt" --find OutputRate=100:1500 --until "$condition" \
    --study "limit_$condition.csv" --vary ScrewSpeed=20:80:2
done
/usr/bin/python3 "$root/examples/plot_limits.py" limit_melted.csv limit_clean.csv "$picture"
echo "Picture drawn in $picture"
