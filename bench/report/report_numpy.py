"""NumPy on the deliverables' operations and sizes, with a fresh output and
with a preallocated one (out=). Prints CSV lines
"column,function,variant,elements,ns_per_element" with column numpy or
numpy_out, each the median of repeated samples.

With --kernels LIBRARY (fpmex_numpy_kernels, built beside report_bench) the
elementwise kernels are also timed in this process beside NumPy's loop with
out=, on the same arrays, in alternating rounds: columns paired_ours and
paired_numpy (the medians of each side) and paired_ratio (the median of the
ratios within each round)."""
import ctypes
import statistics
import sys
import time

import numpy as np


def timeit(f, count):
    # As the C++ program: samples of about 3e5 elements, warm-up below 1e6.
    if count < 1_000_000:
        f()
    reps = max(1, 300_000 // count)
    samples = 3 if count >= 1_000_000 else 5
    t = []
    for _ in range(samples):
        start = time.perf_counter_ns()
        for _ in range(reps):
            f()
        t.append((time.perf_counter_ns() - start) / reps / count)
    return statistics.median(t)


def data(n, lo, hi, dtype, complex_, seed):
    rng = np.random.default_rng(seed)
    x = (lo + (hi - lo) * rng.random(n)).astype(dtype)
    if complex_:
        # Small imaginary parts keep long products finite.
        x = x + 1j * (1e-3 * rng.random(n)).astype(dtype)
    return x


UNARY = [("single", "log2", np.log2, 0.5, 1000), ("single", "log", np.log, 0.5, 1000),
         ("single", "log10", np.log10, 0.5, 1000), ("single", "exp", np.exp, -10, 10),
         ("single", "floor", np.floor, -1000, 1000), ("double", "log2", np.log2, 0.5, 1000),
         ("double", "log10", np.log10, 0.5, 1000), ("double", "exp", np.exp, -10, 10),
         ("double", "sqrt", np.sqrt, 0.5, 1000), ("double", "round", np.rint, -1000, 1000)]


def emit(column, function, variant, n, ns):
    print(f"{column},{function},{variant},{n},{ns:.4g}", flush=True)


def paired(kernel, f, x, n):
    """Our kernel and NumPy's loop with out= on the same input, timed in
    turn within each round (11 rounds below 10^6 elements, 7 at 10^7), as
    report_bench times a kernel beside its baseline."""
    out, ours, scratch = np.empty_like(x), np.empty_like(x), np.empty_like(x)
    pointer = ctypes.POINTER(ctypes.c_float if x.dtype == np.float32 else ctypes.c_double)
    args = (ours.ctypes.data_as(pointer), scratch.ctypes.data_as(pointer), x.ctypes.data_as(pointer),
            ctypes.c_size_t(n))
    reps = max(1, 300_000 // n)
    rounds = 7 if n >= 1_000_000 else 11
    f(x, out=out)
    kernel(*args)
    mine, theirs, ratios = [], [], []
    for _ in range(rounds):
        start = time.perf_counter_ns()
        for _ in range(reps):
            f(x, out=out)
        middle = time.perf_counter_ns()
        for _ in range(reps):
            kernel(*args)
        end = time.perf_counter_ns()
        theirs.append((middle - start) / reps / n)
        mine.append((end - middle) / reps / n)
        ratios.append(mine[-1] / theirs[-1])
    return statistics.median(mine), statistics.median(theirs), statistics.median(ratios)


def main():
    args = sys.argv[1:]
    kernels = None
    if len(args) >= 2 and args[0] == "--kernels":
        kernels = ctypes.CDLL(args[1])
        args = args[2:]
    sizes = [int(s) for s in args] or [1000, 100000, 10000000]
    for n in sizes:
        for set_, name, f, lo, hi in UNARY:
            dtype = np.float32 if set_ == "single" else np.float64
            for variant in ("real", "complex"):
                if variant == "complex" and name in ("floor", "round"):
                    continue  # NumPy has no complex floor or rint
                x = data(n, lo, hi, dtype, variant == "complex", 1)
                out = np.empty_like(x)
                emit("numpy", f"{set_}/{name}", variant, n, timeit(lambda: f(x), n))
                emit("numpy_out", f"{set_}/{name}", variant, n, timeit(lambda: f(x, out=out), n))
                if kernels is not None and variant == "real":
                    kernel = getattr(kernels, f"fpmex_bench_{set_}_{name}")
                    ours, theirs, ratio = paired(kernel, f, x, n)
                    emit("paired_ours", f"{set_}/{name}", variant, n, ours)
                    emit("paired_numpy", f"{set_}/{name}", variant, n, theirs)
                    emit("paired_ratio", f"{set_}/{name}", variant, n, ratio)
        for variant in ("real", "complex"):
            a = data(n, -1000, 1000, np.float32, variant == "complex", 2)
            b = data(n, -1000, 1000, np.float32, variant == "complex", 3)
            out = np.empty_like(a)
            emit("numpy", "single/plus", variant, n, timeit(lambda: np.add(a, b), n))
            emit("numpy_out", "single/plus", variant, n, timeit(lambda: np.add(a, b, out=out), n))
            p = data(n, 0.999, 1.001, np.float32, variant == "complex", 4)
            emit("numpy", "single/prod", variant, n, timeit(lambda: np.prod(p), n))
        a = data(n, -1000, 1000, np.float32, False, 5)
        b = data(n, -1000, 1000, np.float32, False, 6)
        mask = np.empty(n, dtype=bool)
        emit("numpy", "single/lt", "real", n, timeit(lambda: np.less(a, b), n))
        emit("numpy_out", "single/lt", "real", n, timeit(lambda: np.less(a, b, out=mask), n))
        ones = np.empty(n, dtype=np.float32)
        emit("numpy", "single/ones", "real", n, timeit(lambda: np.ones(n, dtype=np.float32), n))
        emit("numpy_out", "single/ones", "real", n, timeit(lambda: ones.fill(1), n))


if __name__ == "__main__":
    main()
