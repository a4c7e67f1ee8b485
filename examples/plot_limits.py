#!/usr/bin/python3
"""Draws limits found by chung-batch --find with --study against the varied
input: one curve per file, named after its condition.

    plot_limits.py LIMITS.csv... PICTURE.png

Each file varies one input; the limit is its column "limit NAME (UNIT)".
Cases where the condition holds nowhere are left out; cases where it changes
more than once are marked with a cross.
"""
import csv
import sys

import matplotlib

matplotlib.use("Agg")  # no display needed
import matplotlib.pyplot as plt


def read_limits(path):
    with open(path, newline="", encoding="utf-8") as study:
        reader = csv.DictReader(study)
        varied = reader.fieldnames[1]
        limit = next(name for name in reader.fieldnames if name.startswith("limit ") and name.endswith(")")
                     and not name.startswith("limit holds"))
        rows = [row for row in reader if row[limit]]
    points = [(float(row[varied]), float(row[limit]), row["limit status"] == "SeveralChanges") for row in rows]
    return varied, limit, points


def main(paths, picture_path):
    figure, axes = plt.subplots(figsize=(7, 4.2), dpi=110)
    for path in paths:
        varied, limit, points = read_limits(path)
        condition = path.rsplit("_", 1)[-1].removesuffix(".csv")
        line, = axes.plot([p[0] for p in points], [p[1] for p in points], label=condition)
        several = [p for p in points if p[2]]
        if several:
            axes.plot([p[0] for p in several], [p[1] for p in several], "x", color=line.get_color())
    axes.set_xlabel(varied)
    axes.set_ylabel(limit.removeprefix("limit "))
    axes.set_title("Highest output where the condition holds", fontsize=10)
    axes.grid(True, alpha=0.3)
    axes.legend(title="condition")
    figure.tight_layout()
    figure.savefig(picture_path)


if __name__ == "__main__":
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    main(sys.argv[1:-1], sys.argv[-1])
