## report_octave (DIR, SET, SIZES)
## Times each deliverable of SET through the install folder DIR (its class
## methods @SET/NAME, which Octave calls for an argument of class SET) beside
## Octave's own builtin on the same data, each as y = f (...). Prints CSV
## lines "column,function,variant,elements,value" with column octave_ours or
## octave_builtin (ns per element, medians of samples taken in alternation)
## and octave_ratio (the median of the two's ratios within each round).
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
      if (strcmp (name, "pi") && n != sizes(1))
        continue;  # one scalar: timed once
      endif
      if (! exist (fullfile (dir, ["@" set], [name ".oct"]), "file"))
        error ("report_octave: %s has no method %s in %s", set, name, dir);
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
        ## Every call has an argument of the set's class, so that Octave
        ## dispatches it to our method.
        switch (name)
          case {"plus", "lt"}
            args = {x, y};
          case "ones"
            args = {cast(n, set), 1};
          case "pi"
            args = {cast(1, set)};
          otherwise
            args = {x};
        endswitch
        count = n;
        if (strcmp (name, "pi"))
          count = 1;
        endif
        own_args = args;
        if (strcmp (name, "ones"))
          own_args = {n, 1, set};
        elseif (strcmp (name, "pi"))
          own_args = {set};
        endif
        [mex, own, r] = timepair (@() feval (name, args{:}),
                                  @() builtin (name, own_args{:}), count);
        printf ("octave_ours,%s/%s,%s,%d,%.4g\n", set, name, v{1}, count, mex);
        printf ("octave_builtin,%s/%s,%s,%d,%.4g\n", set, name, v{1}, count, own);
        printf ("octave_ratio,%s/%s,%s,%d,%.4g\n", set, name, v{1}, count, r);
        fflush (stdout);
      endfor
    endfor
  endfor
endfunction

function [a, b, r] = timepair (f, g, count)
  ## As the C++ program: rounds of one sample of each, in turn first, each
  ## sample about 3e5 elements (at most 30000 calls), warm-up below 1e6;
  ## medians of each, and the median of the ratios within each round.
  if (count < 1e6)
    f ();
    g ();
  endif
  reps = min (3e4, max (1, floor (3e5 / count)));
  if (count >= 1e6)
    rounds = 3;
  else
    rounds = 5;
  endif
  ta = tb = zeros (rounds, 1);
  for s = 1:rounds
    if (mod (s, 2))
      ta(s) = time_calls (f, reps, count);
      tb(s) = time_calls (g, reps, count);
    else
      tb(s) = time_calls (g, reps, count);
      ta(s) = time_calls (f, reps, count);
    endif
  endfor
  a = median (ta);
  b = median (tb);
  r = median (ta ./ tb);
endfunction
