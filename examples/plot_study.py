#!/usr/bin/python3
"""Draws where melting ends against screw speed, one curve per output, from a
chung-batch study file that varies OutputRate and ScrewSpeed.

    plot_study.py STUDY.csv PICTURE.png

Cases where solid is left at the end of the screw are drawn as open circles
at the screw end; cases that did not complete are left out.
"""
import csv
import sys

import matplotlib

matplotlib.use("Agg")  # no display needed
import matplotlib.pyplot as plt


def main(study_path, picture_path):
    with open(study_path, newline="", encoding="utf-8") as study:
        rows = [row for row in csv.DictReader(study) if row["outcome"] == "Completed"]
    curves = {}
    for row in rows:
        output = float(row["OutputRate (kg/hr)"])
        curves.setdefault(output, []).append(
            (float(row["ScrewSpeed (rpm)"]), float(row["melting end (turns)"]), row["melted"] == "true"))

    figure, axes = plt.subplots(figsize=(7, 4.2), dpi=110)
    for output, points in sorted(curves.items()):
        points.sort()
        line, = axes.plot([p[0] for p in points], [p[1] for p in points], label=f"{output:g} kg/hr")
        unmelted = [p for p in points if not p[2]]
        if unmelted:
            axes.plot([p[0] for p in unmelted], [p[1] for p in unmelted], "o", markerfacecolor="none",
                      color=line.get_color(), markersize=4)
    axes.set_xlabel("screw speed (rpm)")
    axes.set_ylabel("melting ends at turn")
    axes.set_title("Where melting ends (open circles: solid left at the screw end)", fontsize=10)
    axes.grid(True, alpha=0.3)
    axes.legend(title="output")
    figure.tight_layout()
    figure.savefig(picture_path)


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2])
