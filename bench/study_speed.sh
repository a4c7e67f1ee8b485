#!/usr/bin/env bash
# Wall time of a 10,000-case study through chung-batch (100 screw speeds by
# 100 outputs around the initial values, no report files) with one and with
# two workers; the best of several tries, and the speed-up.
#   bench/study_speed.sh [BUILD_DIR] [TRIES]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
batch=${1:-$root/build/release}/cli/chung-batch
tries=${2:-5}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

best_wall() {
  local best=
  for ((try = 0; try < tries; ++try)); do
    local start end
    start=$(date +%s.%N)
    "$batch" --study "$work/study-$1.csv" --vary ScrewSpeed=30:59.7:0.3 --vary OutputRate=250:349:1 \
      -j "$1" >/dev/null
    end=$(date +%s.%N)
    best=$(echo "$start $end ${best:-}" | awk '{t = $2 - $1; if ($3 != "" && $3 < t) t = $3; printf "%.3f", t}')
  done
  echo "$best"
}

one=$(best_wall 1)
two=$(best_wall 2)
cmp -s "$work/study-1.csv" "$work/study-2.csv" || { echo "study files differ between -j 1 and -j 2" >&2; exit 1; }
echo "machine: $(lscpu | sed -n 's/^Model name: *//p'), $(nproc) cores"
echo "10000 cases, -j 1: ${one} s"
echo "10000 cases, -j 2: ${two} s"
echo "speed-up: $(echo "$one $two" | awk '{printf "%.2f", $1 / $2}')"
