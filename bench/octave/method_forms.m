## The ways of making log2 a method of class single in Octave, and what a
## scalar call costs through each, beside the builtin, in one process:
##   - a MEX file in @single/ (is it called at all?),
##   - an @single/log2.m that calls the MEX file kept in @single/private/,
##   - the .oct method of the install folder (build/octave/fpmex).
##   octave-cli --norc --quiet --eval "build = 'build'; run('bench/octave/method_forms.m')"
## BUILD is the build directory, absolute or from the repository's root; the
## first two layouts are made from its flat MEX file in a temporary folder.
if (! exist ("build", "var"))
  build = "build";
endif
if (! is_absolute_filename (build))
  build = fullfile (fileparts (fileparts (fileparts (mfilename ("fullpath")))), build);
endif
mex_file = fullfile (build, "octave", "single", "log2.mex");
install = fullfile (build, "octave", "fpmex");
scratch = tempname ();
mkdir (fullfile (scratch, "mex", "@single"));
mkdir (fullfile (scratch, "wrapper", "@single", "private"));
copyfile (mex_file, fullfile (scratch, "mex", "@single", "log2.mex"));
copyfile (mex_file, fullfile (scratch, "wrapper", "@single", "private", "log2_mex.mex"));
fid = fopen (fullfile (scratch, "wrapper", "@single", "log2.m"), "w");
fputs (fid, "function varargout = log2 (varargin)\n  [varargout{1:max(nargout, 1)}] = log2_mex (varargin{:});\nend\n");
fclose (fid);

## Ours gives e = Inf for [f, e] = log2(single(Inf)), Octave's own e = 0.
addpath (fullfile (scratch, "mex"));
[~, e] = log2 (single (Inf));
rmpath (fullfile (scratch, "mex"));
if (isinf (e))
  printf ("MEX file in @single/: called as the method\n");
else
  printf ("MEX file in @single/: not called (Octave's own log2 answered)\n");
endif

function t = per_call (x, reps)
  tic;
  for k = 1:reps
    y = log2 (x);
  endfor
  t = toc / reps;
endfunction

x = single (-1);
reps = 20000;
rounds = 5;
t = zeros (rounds, 3);
for r = 1:rounds
  addpath (fullfile (scratch, "wrapper"));
  t(r, 1) = per_call (x, reps);
  rmpath (fullfile (scratch, "wrapper"));
  addpath (install);
  t(r, 2) = per_call (x, reps);
  rmpath (install);
  t(r, 3) = per_call (x, reps);
endfor
m = median (t) * 1e6;
printf ("scalar log2(single(-1)), median of %d rounds of %d calls:\n", rounds, reps);
printf ("  @single/log2.m calling @single/private/log2_mex.mex  %.2f µs\n", m(1));
printf ("  @single/log2.oct (install folder)                    %.2f µs\n", m(2));
printf ("  Octave's own log2                                    %.2f µs\n", m(3));
confirm_recursive_rmdir (false, "local");
rmdir (scratch, "s");
