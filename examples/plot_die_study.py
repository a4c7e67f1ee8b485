#!/usr/bin/python3
"""Draws the flood-fed operating point against the die diameter, one band per
screw speed between the adiabatic and the barrel bound, from a chung-batch
study file that varies ScrewSpeed and DieDiameter with --operating-point.

    plot_die_study.py STUDY.csv PICTURE.png

Cases whose operating point was not found, or whose melting run or stage did
not complete, are left out.
"""
import csv
import sys

import matplotlib

matplotlib.use("Agg")  # no display needed
import matplotlib.pyplot as plt

BOUNDS = {"adiabatic": "-", "barrel bound": "--"}


def main(study_path, picture_path):
    with open(study_path, newline="", encoding="utf-8") as study:
        rows = [row for row in csv.DictReader(study)
                if row["outcome"] == "Completed" and row["melt outcome"] == "Completed"]
    speeds = {}
    for row in rows:
        found = {bound: float(row[f"{bound} operating point (kg/hr)"]) for bound in BOUNDS
                 if row[f"{bound} operating point status"] == "Found"}
        if len(found) == len(BOUNDS):
            speeds.setdefault(float(row["ScrewSpeed (rpm)"]), []).append((float(row["DieDiameter (cm)"]), found))

    figure, axes = plt.subplots(figsize=(7, 4.2), dpi=110)
    for speed, points in sorted(speeds.items()):
        points.sort(key=lambda point: point[0])
        diameters = [point[0] for point in points]
        color = None
        for bound, style in BOUNDS.items():
            line, = axes.plot(diameters, [point[1][bound] for point in points], style, color=color,
                              label=f"{speed:g} rpm, {bound}")
            color = line.get_color()
        axes.fill_between(diameters, [point[1]["adiabatic"] for point in points],
                          [point[1]["barrel bound"] for point in points], color=color, alpha=0.15)
    axes.set_xlabel("capillary die diameter (cm), 2 cm long")
    axes.set_ylabel("flood-fed output (kg/hr)")
    axes.set_title("Operating point: where the screw's tip pressure meets the die's need", fontsize=10)
    axes.grid(True, alpha=0.3)
    axes.legend(fontsize=8)
    figure.tight_layout()
    figure.savefig(picture_path)


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2])
