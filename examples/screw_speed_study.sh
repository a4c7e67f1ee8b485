#!/usr/bin/env bash
# The study in the README: where melting ends against screw speed, for four
# outputs, with everything else as in default.txt. Writes
# screw_speed_study.csv in the current directory and draws it.
#   examples/screw_speed_study.sh [BUILD_DIR] [PICTURE]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
batch=${1:-$root/build/release}/cli/chung-batch
picture=${2:-screw_speed_study.png}

"$batch" "$root/examples/default.txt" --study screw_speed_study.csv \
  --vary OutputRate=200,300,400,500 --vary ScrewSpeed=20:80:1
/usr/bin/python3 "$root/examples/plot_study.py" screw_speed_study.csv "$picture"
echo "Picture drawn in $picture"
