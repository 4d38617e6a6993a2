## The install folder as a user meets it: calls without an argument of a
## set's class are Octave's own; calls with one are ours, bit for bit those
## of the MEX files; mixed calls; and the path given back.
assert (isempty (lastwarn ()), "adding the folder warned: %s", lastwarn ());
folders = fpmex_folders ();

## Octave's own, with its class, for every call that has no argument of the
## set's class (and sparse arrays, which the double set hands back).
own = {
  "pi",    {}
  "pi",    {2, "single"}
  "ones",  {3}
  "ones",  {2, 3}
  "ones",  {2, 3, "single"}
  "ones",  {2, 2, "like", 1}
  "plus",  {1, 1}
  "plus",  {int8(1), single(2.5)}
  "lt",    {1, 2}
  "prod",  {[1 2; 3 4]}
  "prod",  {int16([1 2; 3 4]), 2}
  "log",   {-1}
  "floor", {2.5}
  "log2",  {int8(8)}
  "exp",   {true}
  "log10", {uint8(100)}
  "sqrt",  {single(-0)}
  "round", {single(-2.5)}
  "log2",  {sparse([1 0 4])}
  "round", {sparse([-2.5 0])}
};
for k = 1:rows (own)
  [name, args] = own{k, :};
  fpmex_same_outcome (fpmex_outcome (name, 1, args), fpmex_outcome (name, 1, args, true), sprintf ("own call %d (%s)", k, name));
endfor

## Ours: the same calls through the install folder and through the set's flat
## MEX folder give the same outcomes, bit for bit. Random bit patterns and
## special values, so that a call that reached Octave's own function instead
## (another NaN sign, round's halves, log2's exponent of Inf) would show.
s = [conformance_samples("single", 4000, 17), fpmex_bits({"7FC01234", "FFC01234", "7F800001", "00000001", "80000000"}, "single"), single([0 1 -1 Inf -Inf 0.5 -2.5 1e-40])];
d = [conformance_samples("double", 4000, 18), fpmex_bits({"7FF8000000001234", "FFF8000000001234", "0000000000000001"}, "double"), [0 -0 1 -1 Inf -Inf 0.5 -0.5 -2.5 2.5]];
sc = complex (s(1:500), s(501:1000));
dc = complex (d(1:500), d(501:1000));
nd = reshape (single (1:24) / 8, 2, 3, 4);
calls = {
  "single", 1, "log2",  {s}
  "single", 2, "log2",  {s}
  "single", 1, "log2",  {sc}
  "single", 1, "log",   {s}
  "single", 1, "log",   {sc}
  "single", 1, "log10", {s}
  "single", 1, "log10", {nd}
  "single", 1, "exp",   {s}
  "single", 1, "exp",   {sc}
  "single", 1, "floor", {s}
  "single", 1, "floor", {zeros(0, 3, "single")}
  "single", 1, "plus",  {s, fliplr(s)}
  "single", 1, "plus",  {s, 3}
  "single", 1, "plus",  {sc, single(1)}
  "single", 1, "plus",  {single(1), "ab"}
  "single", 1, "plus",  {single(1), true}
  "single", 1, "lt",    {s, fliplr(s)}
  "single", 1, "lt",    {single(0), s}
  "single", 1, "prod",  {nd}
  "single", 1, "prod",  {nd, 2}
  "single", 1, "prod",  {nd, single(3)}
  "single", 1, "prod",  {complex(nd, -nd)}
  "single", 1, "prod",  {nd, 0}
  "single", 1, "ones",  {single(3)}
  "single", 1, "ones",  {single([2 3 4])}
  "single", 1, "ones",  {single(2), [3 4]}
  "single", 1, "ones",  {single([2; 3])}
  "single", 1, "pi",    {single(2)}
  "single", 1, "log2",  {single(1), 2}
  "single", 3, "log2",  {single(1)}
  "single", 2, "log2",  {sc}
  "double", 1, "log2",  {d}
  "double", 2, "log2",  {d}
  "double", 1, "log2",  {dc}
  "double", 1, "log10", {d}
  "double", 1, "exp",   {d}
  "double", 1, "exp",   {dc}
  "double", 1, "sqrt",  {d}
  "double", 1, "sqrt",  {dc}
  "double", 1, "round", {d}
  "double", 1, "round", {dc}
};
ours = cell (rows (calls), 1);
for k = 1:rows (calls)
  ours{k} = fpmex_outcome (calls{k, 3}, calls{k, 2}, calls{k, 4});
endfor
rmpath (folders.install);
warning ("off", "Octave:shadowed-function");
for set = {"single", "double"}
  addpath (folders.(set{1}));
  for k = find (strcmp (calls(:, 1), set{1}))'
    [~, nout, name, args] = calls{k, :};
    fpmex_same_outcome (ours{k}, fpmex_outcome (name, nout, args), sprintf ("%s call %d (%s)", set{1}, k, name));
  endfor
  rmpath (folders.(set{1}));
endfor
warning ("on", "Octave:shadowed-function");
addpath (folders.install);

## Mixed calls: a single argument anywhere brings the single set's method.
arrays_same (ones (2, single (3)), ones (2, 3, "single"), "ones(2, single(3))");
arrays_same (plus (1, single (2)), single (3), "plus(1, single(2))");
arrays_same (lt (1, single (2)), true, "lt(1, single(2))");
x = [1 2 3; 4 5 6];
arrays_same (prod (x, single (2)), builtin ("prod", x, 2), "prod(double, single(2))");
arrays_same (prod (int8 (x), single (1)), builtin ("prod", int8 (x), 1), "prod(int8, single(1))");

printf ("install folder: %d calls of Octave's own, %d of ours\n", rows (own), rows (calls));

## The methods load again after clear, and rmpath gives Octave's own back.
clear all
folders = fpmex_folders ();
assert (round (-2.5) == -2 && isinf (nthargout (2, @log2, single (Inf))), "ours after clear all");
rmpath (folders.install);
assert (round (-2.5) == -3 && nthargout (2, @log2, single (Inf)) == 0, "Octave's own after rmpath");
addpath (folders.install);
assert (round (-2.5) == -2, "ours again after addpath");
