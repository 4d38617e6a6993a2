"""Turns the CSV lines of report_bench, report_octave and report_numpy into
the generated part of docs/performance.md and the plot docs/performance.png.

Usage: report.py CSV_DIR DOC PNG COMMAND
CSV_DIR holds main.csv (all columns at the table sizes) and growth.csv (the
cost-growth series). The text of DOC between the two marker lines is
replaced; the rest of DOC is kept as it stands."""
import collections
import csv
import datetime
import os
import subprocess
import sys

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402

BEGIN = "<!-- scripts/bench writes from here -->"
END = "<!-- scripts/bench writes up to here -->"

# The limit each function is held against: memory bandwidth of a plain loop
# moving the same bytes for the SSE and store-bound functions, a bare loop of
# the same x87 instructions for the x87 ones.
LIMIT = {"plus": "add", "lt": "add", "ones": "fill", "prod": "x87_prod", "log2": "x87_log", "log": "x87_log",
         "log10": "x87_log", "exp": "x87_exp", "sqrt": "x87_sqrt", "floor": "x87_round", "round": "x87_round"}
ORDER = ["single/plus", "single/lt", "single/prod", "single/ones", "single/pi", "single/log2", "single/log",
         "single/log10", "single/exp", "single/floor", "double/log2", "double/sqrt", "double/log10",
         "double/exp", "double/round"]


def load(path):
    data = {}
    with open(path) as f:
        for row in csv.reader(f):
            if len(row) == 5:
                column, function, variant, n, ns = row
                data[(column, function, variant, int(n))] = float(ns)
    return data


def fmt(x):
    if x is None:
        return "–"
    return f"{x:.3g}"


def ratio(a, b):
    return a / b if a is not None and b else None


def cpu_model():
    out = subprocess.run(["lscpu"], capture_output=True, text=True).stdout
    for line in out.splitlines():
        if line.startswith("Model name:"):
            return line.split(":", 1)[1].strip()
    return "unknown"


def main_table(d):
    sizes = sorted({k[3] for k in d if k[0] == "call" and k[1] != "single/pi"})
    head = ["function", "input", "elements", "kernel", "host call", "Octave MEX", "Octave builtin",
            "MEX / builtin", "NumPy", "NumPy out=", "MEX / NumPy", "kernel / NumPy out=", "libm loop",
            "kernel / libm", "limit", "limit ns", "kernel / limit", "fresh pages"]
    lines = ["| " + " | ".join(head) + " |", "|" + "---|" * len(head)]
    for function in ORDER:
        name = function.split("/")[1]
        for variant in ("real", "complex"):
            for n in (sizes if name != "pi" else [1]):
                g = lambda column, v=variant, f=function: d.get((column, f, v, n))  # noqa: E731
                if g("call") is None and g("octave_mex") is None:
                    continue
                lim = LIMIT.get(name)
                limit = d.get(("limit", lim, "double" if lim and lim.startswith("x87") else "float", n)) if lim else None
                fresh = d.get(("limit", "fresh_pages", "float", n))
                row = [f"`{function}`", variant, f"{n:.0e}".replace("e+0", "e"), fmt(g("kernel")), fmt(g("call")),
                       fmt(g("octave_mex")), fmt(g("octave_builtin")), fmt(ratio(g("octave_mex"), g("octave_builtin"))),
                       fmt(g("numpy")), fmt(g("numpy_out")), fmt(ratio(g("octave_mex"), g("numpy"))),
                       fmt(ratio(g("kernel"), g("numpy_out"))), fmt(d.get(("libm", function, "real", n)) if variant == "real" else None),
                       fmt(ratio(g("kernel"), d.get(("libm", function, "real", n))) if variant == "real" else None),
                       lim or "–", fmt(limit), fmt(ratio(g("kernel"), limit)), fmt(fresh if name != "pi" else None)]
                lines.append("| " + " | ".join(row) + " |")
    return lines


def growth_section(g, png):
    functions = ["single/plus", "single/ones", "single/log2", "double/exp"]
    sizes = sorted({k[3] for k in g})
    head = ["function"] + [f"{n:.0e}".replace("e+0", "e") for n in sizes]
    lines = ["| " + " | ".join(head) + " |", "|" + "---|" * len(head)]
    fresh = [g.get(("limit", "fresh_pages", "float", n)) for n in sizes]
    for f in functions:
        for column in ("kernel", "call"):
            lines.append("| " + " | ".join([f"`{f}` {column}"] + [fmt(g.get((column, f, "real", n))) for n in sizes]) + " |")
    lines.append("| " + " | ".join(["fresh pages (4-byte elements)"] + [fmt(x) for x in fresh]) + " |")
    notes = []
    for f in functions:
        k = [g.get(("kernel", f, "real", n)) for n in sizes]
        c = [g.get(("call", f, "real", n)) for n in sizes]
        floor = min(x for x in c if x)
        overhead = [n for n, b in zip(sizes, c) if b and b > 1.5 * floor and n <= 10 ** 5]
        faults = [n for n, a, p in zip(sizes, k, fresh) if a and p and n >= 10 ** 5 and p > a]
        parts = [f"kernel {fmt(k[0])} ns/element at {sizes[0]:.0e} and {fmt(k[-1])} at {sizes[-1]:.0e}, "
                 f"call {fmt(c[0])} and {fmt(c[-1])}"]
        if overhead:
            parts.append(f"the per-call overhead dominates up to {max(overhead):.0e} elements (call more than 1.5 "
                         "times its lowest cost per element)")
        if faults:
            parts.append("the page faults of a fresh output cost more than the kernel at "
                         + ", ".join(f"{n:.0e}" for n in faults) + " elements")
        notes.append(f"- `{f}`: " + "; ".join(parts) + ".")
    notes.append("- The embedded host checks every call (a checksum of every input before and after, guard zones around "
                 "every block), a cost per element that is the same for all functions and sets the floor of the "
                 "host call column; the Octave MEX column is the whole call as users see it.")
    fig, ax = plt.subplots(figsize=(8, 5))
    for f in functions:
        line, = ax.plot(sizes, [g.get(("call", f, "real", n)) for n in sizes], marker="o", label=f"{f} call")
        ax.plot(sizes, [g.get(("kernel", f, "real", n)) for n in sizes], marker="x", linestyle="--",
                color=line.get_color(), label=f"{f} kernel")
    ax.plot(sizes, fresh, color="black", linestyle=":", label="fresh pages per 4-byte element")
    ax.set_xscale("log")
    ax.set_yscale("log")
    ax.set_xlabel("elements")
    ax.set_ylabel("ns per element (median)")
    ax.set_title("fpmex: cost per element against size")
    ax.grid(True, which="both", alpha=0.3)
    ax.legend(fontsize=7)
    fig.tight_layout()
    fig.savefig(png, dpi=100)
    return lines, notes


def main():
    csv_dir, doc, png, command = sys.argv[1:5]
    d = load(os.path.join(csv_dir, "main.csv"))
    g = load(os.path.join(csv_dir, "growth.csv"))
    now = datetime.datetime.now(datetime.timezone.utc).strftime("%Y-%m-%d %H:%M UTC")
    table = main_table(d)
    glines, notes = growth_section(g, png)
    out = [BEGIN, "", "## Side by side: kernels, calls, Octave, NumPy, libm and the limits", "",
           f"- Machine: `lscpu` model name \"{cpu_model()}\", {os.cpu_count()} cores, shared with other jobs.",
           f"- Date: {now}.", f"- Command: `{command}` (written by that command; a rerun replaces this part).", "",
           "All figures are medians of repeated samples in ns per element (lower is faster), all taken in one "
           "run; every ratio is ours divided by the other, so below 1 means ours is faster. Columns:", "",
           "- kernel: our kernel on warm, preallocated buffers, called directly.",
           "- host call: the whole call through the embedded host (frame, fresh output, kernel, and the host's own "
           "checks of guard zones and inputs).",
           "- Octave MEX / Octave builtin: our MEX file in GNU Octave beside Octave's builtin on the same data "
           "(`builtin(name, ...)`; `ones(n, 1, 'single')`, `pi('single')` for pi; `pi` is one call, "
           "timed per call).",
           "- NumPy / NumPy out=: the same operation in NumPy with a fresh output and with `out=` a preallocated "
           "one (`np.rint` for round, which ties to even; `np.prod` has no out=; NumPy has no complex floor or rint).",
           "- libm loop: glibc's function in a plain C++ loop (`floor(x + 0.5)` for round; a plain loop of the "
           "operator for plus, lt, prod; `std::fill` for ones).",
           "- limit: `add`/`fill` a plain float loop bound by memory bandwidth; `x87_*` a bare loop of the same x87 "
           "instructions on doubles (fyl2x; f2xm1 and fscale; fsqrt; frndint; fmul) without special-value handling.",
           "- fresh pages: first touch of newly mapped memory of the output's size (4-byte elements), the page-fault "
           "cost a fresh output pays.", ""]
    out += table
    out += ["", "## Cost growth from 10^2 to 10^8 elements", "",
            "Real inputs, ns per element (medians), from the same command.", ""]
    out += glines + [""] + notes + ["", "![ns per element against size](performance.png)", "", END]
    text = open(doc).read() if os.path.exists(doc) else "# Performance\n\n" + BEGIN + "\n" + END + "\n"
    if BEGIN in text and END in text:
        text = text[:text.index(BEGIN)] + "\n".join(out) + text[text.index(END) + len(END):]
    else:
        text = text.rstrip("\n") + "\n\n" + "\n".join(out) + "\n"
    with open(doc, "w") as f:
        f.write(text)


if __name__ == "__main__":
    main()
