"""NumPy on the deliverables' operations and sizes, with a fresh output and
with a preallocated one (out=). Prints CSV lines
"column,function,variant,elements,ns_per_element" with column numpy or
numpy_out, each the median of repeated samples."""
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


def main():
    sizes = [int(s) for s in sys.argv[1:]] or [1000, 100000, 10000000]
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
