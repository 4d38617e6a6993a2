## The Octave package in a clean Octave: pkg install builds PACKAGE from
## source into a temporary prefix; after pkg load every deliverable of both
## sets is a class method whose outcomes are those of the install folder
## INSTALL built by CMake, bit for bit; pkg unload gives Octave's own
## functions back. PACKAGE and INSTALL come from the test's command.
s = [conformance_samples("single", 2000, 5), single([0 -0 Inf -Inf NaN -1 2.5])];
d = [conformance_samples("double", 2000, 6), [0 -0 Inf -Inf NaN -1 -2.5 2.5]];
1;
function outcomes = run_calls (calls)
  outcomes = cell (rows (calls), 1);
  for k = 1:rows (calls)
    outcomes{k} = fpmex_outcome (calls{k, 3}, calls{k, 2}, calls{k, 4});
  endfor
endfunction

calls = {
  "single", 1, "plus",  {s, fliplr(s)}
  "single", 1, "lt",    {s, single(0)}
  "single", 1, "prod",  {reshape(s(1:2000), 40, 50), 2}
  "single", 1, "ones",  {single([2 3])}
  "single", 1, "pi",    {single(1)}
  "single", 2, "log2",  {s}
  "single", 1, "log",   {s}
  "single", 1, "log10", {s}
  "single", 1, "exp",   {complex(s(1:1000), s(1001:2000))}
  "single", 1, "floor", {s}
  "double", 1, "log2",  {d}
  "double", 1, "sqrt",  {d}
  "double", 1, "log10", {d}
  "double", 1, "exp",   {d}
  "double", 1, "round", {d}
};

prefix = tempname ();
mkdir (prefix);
unwind_protect
  pkg ("prefix", prefix, prefix);
  pkg ("local_list", fullfile (prefix, "octave_packages"));
  pkg ("install", "-local", package);
  pkg ("load", "fpmex");
  info = pkg ("list", "fpmex");
  for k = 1:rows (calls)
    assert (isfile (fullfile (info{1}.dir, ["@" calls{k, 1}], [calls{k, 3} ".oct"])), "@%s/%s.oct", calls{k, 1}, calls{k, 3});
  endfor
  packaged = run_calls (calls);
  pkg ("unload", "fpmex");

  ## Octave's own functions again: they differ from ours on these inputs.
  assert (round (-2.5) == -3, "round after unload");
  assert (nthargout (2, @log2, single (Inf)) == 0, "log2 after unload");
  assert (isa (ones (2, single (3)), "double"), "ones after unload");

  addpath (install);
  built = run_calls (calls);
  rmpath (install);
  for k = 1:rows (calls)
    fpmex_same_outcome (packaged{k}, built{k}, sprintf ("%s %s from the package", calls{k, 1}, calls{k, 3}));
  endfor
unwind_protect_cleanup
  pkg ("unload", "fpmex");
  confirm_recursive_rmdir (false, "local");
  rmdir (prefix, "s");
end_unwind_protect
printf ("package: installed, %d methods as the install folder's, unloaded\n", rows (calls));
