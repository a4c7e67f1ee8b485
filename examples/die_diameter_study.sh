#!/usr/bin/env bash
# The die study in the README: the flood-fed operating point against the
# diameter of a 2 cm long capillary die, at two screw speeds, everything else
# as in default.txt. Writes die_diameter_study.csv in the current directory
# and draws it.
#   examples/die_diameter_study.sh [BUILD_DIR] [PICTURE]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
batch=${1:-$root/build/release}/cli/chung-batch
picture=${2:-die_diameter_study.png}

"$batch" "$root/examples/default.txt" --study die_diameter_study.csv --operating-point \
  --set DieMode=capillary --set DieLength=2 \
  --vary ScrewSpeed=38,60 --vary DieDiameter=0.2:1.2:0.025
/usr/bin/python3 "$root/examples/plot_die_study.py" die_diameter_study.csv "$picture"
echo "Picture drawn in $picture"
