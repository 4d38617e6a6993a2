## report_octave (DIR, SET, SIZES)
## Times each deliverable of SET (its MEX files in DIR, which shadow the
## builtins once on the path) beside Octave's own builtin on the same data.
## Prints CSV lines "column,function,variant,elements,ns_per_element" with
## column octave_mex or octave_builtin, each the median of repeated samples.
function report_octave (dir, set, sizes)
  addpath (dir);
  if (strcmp (set, "single"))
    cases = {"log2", 0.5, 1000, true; "log", 0.5, 1000, true; "log10", 0.5, 1000, true;
             "exp", -10, 10, true; "floor", -1000, 1000, true;
             "plus", -1000, 1000, true; "lt", -1000, 1000, false;
             "prod", 0.999, 1.001, true; "ones", 0, 0, false; "pi", 0, 0, false};
  else
    cases = {"log2", 0.5, 1000, true; "log10", 0.5, 1000, true; "exp", -10, 10, true;
             "sqrt", 0.5, 1000, true; "round", -1000, 1000, true};
  endif
  for n = sizes
    for c = 1:rows (cases)
      [name, lo, hi, withComplex] = cases{c, :};
      if (isempty (strfind (which (name), dir)))
        error ("report_octave: %s is not the MEX file in %s", name, dir);
      endif
      variants = {"real"};
      if (withComplex)
        variants{end+1} = "complex";
      endif
      for v = variants
        rand ("seed", 1);
        x = cast (lo + (hi - lo) * rand (n, 1), set);
        y = cast (lo + (hi - lo) * rand (n, 1), set);
        if (strcmp (v{1}, "complex"))
          ## Small imaginary parts keep long products finite.
          x = complex (x, cast (1e-3 * rand (n, 1), set));
          y = complex (y, cast (1e-3 * rand (n, 1), set));
        endif
        switch (name)
          case {"plus", "lt"}
            args = {x, y};
          case "ones"
            ## Ours gives single without the class name.
            args = {n, 1};
          case "pi"
            args = {};
          otherwise
            args = {x};
        endswitch
        count = n;
        if (strcmp (name, "pi"))
          count = 1;
        endif
        mex = timeit (@() feval (name, args{:}), count);
        if (any (strcmp (name, {"pi", "ones"})))
          ## Octave's pi and ones give doubles; ask for singles.
          args{end+1} = "single";
        endif
        own = timeit (@() builtin (name, args{:}), count);
        printf ("octave_mex,%s/%s,%s,%d,%.4g\n", set, name, v{1}, count, mex);
        printf ("octave_builtin,%s/%s,%s,%d,%.4g\n", set, name, v{1}, count, own);
        fflush (stdout);
      endfor
    endfor
  endfor
endfunction

function ns = timeit (f, count)
  ## As the C++ program: samples of about 3e5 elements, warm-up below 1e6.
  if (count < 1e6)
    f ();
  endif
  reps = max (1, floor (3e5 / count));
  if (count >= 1e6)
    samples = 3;
  else
    samples = 5;
  endif
  t = zeros (samples, 1);
  for s = 1:samples
    start = tic ();
    for r = 1:reps
      f ();
    endfor
    t(s) = toc (start) / reps / count * 1e9;
  endfor
  ns = median (t);
endfunction
