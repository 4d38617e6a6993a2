## Whole-call cost in Octave: each function called through the install
## folder of class methods (build/octave/fpmex), through the flat folder of
## MEX files (build/octave/SET) and as Octave's own builtin, on the same
## input, in alternating rounds in one process. Prints a Markdown table of
## medians: microseconds per call, nanoseconds per element, and the ratio
## ours / builtin (the median of the per-round ratios).
##   octave-cli --norc --quiet --eval "build = 'build'; run('bench/octave/call_cost.m')"
## BUILD is the build directory, absolute or from the repository's root.
## Every call stores its result, as user code does, so that each pays for
## allocating its output.
if (! exist ("build", "var"))
  build = "build";
endif
if (! is_absolute_filename (build))
  build = fullfile (fileparts (fileparts (fileparts (mfilename ("fullpath")))), build);
endif
install = fullfile (build, "octave", "fpmex");
flat = @(set) fullfile (build, "octave", set);
warning ("off", "Octave:shadowed-function");

## One timed loop of REPS direct calls NAME(X) (or NAME(X, X)), in seconds
## per call. The loop is parsed once, so the call is not looked up by feval.
function t = timed (name, x, binary, reps)
  if (binary)
    body = sprintf ("for k = 1:%d, y = %s (x, x); end", reps, name);
  else
    body = sprintf ("for k = 1:%d, y = %s (x); end", reps, name);
  endif
  eval (strrep (body, sprintf ("1:%d", reps), "1:1"));   # loads the function
  tic;
  eval (body);
  t = toc / reps;
endfunction

rand ("twister", 1);
cases = {
  "single", "log2"
  "single", "log"
  "single", "log10"
  "single", "exp"
  "single", "floor"
  "single", "plus"
  "single", "prod"
  "double", "log2"
  "double", "log10"
  "double", "exp"
  "double", "sqrt"
  "double", "round"
};
sizes = [1 1e3 1e5 1e7];
rounds = 5;
printf ("| function | elements | install folder µs/call | ns/element | flat MEX µs/call | builtin µs/call | ns/element | install / builtin | MEX / builtin |\n");
printf ("|---|---|---|---|---|---|---|---|---|\n");
for c = 1:rows (cases)
  [set, name] = cases{c, :};
  binary = strcmp (name, "plus");
  for n = sizes
    x = cast (0.5 + rand (1, n), set);
    if (strcmp (name, "prod"))
      x = reshape (x, 1, n);
    endif
    reps = max (2, round (1e6 / (n + 200)));
    t = zeros (rounds, 3);
    for r = 1:rounds
      addpath (install);
      t(r, 1) = timed (name, x, binary, reps);
      rmpath (install);
      addpath (flat (set));
      t(r, 2) = timed (name, x, binary, reps);
      rmpath (flat (set));
      t(r, 3) = timed (name, x, binary, reps);
    endfor
    m = median (t);
    printf ("| `%s/%s` | %g | %.3g | %.3g | %.3g | %.3g | %.3g | %.2f | %.2f |\n", set, name, n, m(1) * 1e6,
            m(1) / n * 1e9, m(2) * 1e6, m(3) * 1e6, m(3) / n * 1e9, median (t(:, 1) ./ t(:, 3)),
            median (t(:, 2) ./ t(:, 3)));
  endfor
endfor

## What a loop iteration costs with no call in it, for scale.
x = single (1);
tic; for k = 1:1e6, y = x; end; loop = toc / 1e6;
printf ("\nAn iteration of the timing loop without a call: %.3g µs.\n", loop * 1e6);
