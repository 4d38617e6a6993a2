"""Compares the ratios of two runs of scripts/bench, to tell how far a rerun
moves them.

Usage: compare.py CSV_DIR_A CSV_DIR_B
For each ratio the report prints (kernel over its limit, over libm, over
NumPy; the MEX over Octave's builtin and over NumPy; the targets), prints
how many pairs both runs have, the median and the 90th percentile of the
relative difference |b/a - 1|, and the median of b/a. Copy
build-bench/bench-results aside before the second run."""
import os
import statistics
import sys

from report import load

# Each ratio of the report: a column of its own, or a quotient of two.
RATIOS = {
    "kernel / limit": ("pair_ratio", None),
    "kernel / libm": ("libm_ratio", None),
    "kernel / NumPy out=": ("kernel", "numpy_out"),
    "Octave / builtin": ("octave_ratio", None),
    "Octave / NumPy": ("octave_ours", "numpy"),
}


def ratios(d, top, bottom):
    if bottom is None:
        return {k[1:]: d[k] for k in d if k[0] == top}
    return {k[1:]: d[k] / d[(bottom,) + k[1:]] for k in d
            if k[0] == top and d.get((bottom,) + k[1:])}


def main():
    a_dir, b_dir = sys.argv[1:3]
    runs = []
    for directory in (a_dir, b_dir):
        runs.append((load(os.path.join(directory, "main.csv")), load(os.path.join(directory, "targets.csv"))))
    columns = [(name, 0, top, bottom) for name, (top, bottom) in RATIOS.items()]
    columns.append(("targets: ours / baseline", 1, "pair_ratio", None))
    print("| ratio | pairs | median abs. change | 90th percentile | median b/a |")
    print("|---|---|---|---|---|")
    for name, which, top, bottom in columns:
        a = ratios(runs[0][which], top, bottom)
        b = ratios(runs[1][which], top, bottom)
        both = [b[k] / a[k] for k in a if k in b]
        if not both:
            continue
        change = sorted(abs(x - 1) for x in both)
        p90 = change[min(len(change) - 1, int(0.9 * len(change)))]
        print(f"| {name} | {len(both)} | {statistics.median(change):.1%} | {p90:.1%} | "
              f"{statistics.median(both):.3f} |")


if __name__ == "__main__":
    main()
