## report_octave_threads (DIR, THREADS)
## The split kernels' whole calls in Octave through the install folder DIR,
## at the thread count THREADS that FPMEX_NUM_THREADS gave this Octave
## process: single log2 of complex input at 10^7 and 10^3 elements, of real
## input at 10^5 and 10^3, and prod of a 1000-by-10^4 (10-by-100) single
## array. Prints CSV lines "octave_tTHREADS,function,variant,elements,ns".
function report_octave_threads (dir, threads)
  addpath (dir);
  cases = {"log2", "complex", 1e7; "log2", "real", 1e5; "prod", "real", 1e7;
           "log2", "complex", 1e3; "log2", "real", 1e3; "prod", "real", 1e3};
  for c = 1:rows (cases)
    [name, variant, n] = cases{c, :};
    rand ("seed", 1);
    if (strcmp (name, "prod"))
      runLength = 10 + 990 * (n >= 1e6);
      x = single (0.999 + 0.002 * rand (runLength, n / runLength));
    else
      x = single (0.5 + 999.5 * rand (n, 1));
      if (strcmp (variant, "complex"))
        x = complex (x, single (2000 * rand (n, 1) - 1000));
      endif
    endif
    f = @() feval (name, x);
    f ();
    reps = min (3e4, max (1, floor (3e5 / n)));
    times = zeros (5, 1);
    for s = 1:5
      times(s) = time_calls (f, reps, n);
    endfor
    printf ("octave_t%d,single/%s,%s,%d,%.4g\n", threads, name, variant, n, median (times));
    fflush (stdout);
  endfor
endfunction
