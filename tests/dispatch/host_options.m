## Options of Octave's own ones and prod reach our files (through class
## dispatch when an argument is single, through a flat folder always) and
## go to Octave's own function: the outcome is exactly Octave's, errors
## included. So does a sparse size vector, which our code cannot read as
## sizes. A character argument that is no option keeps its meaning.
z = single ([1 2; 3 4]);
calls = {
  "ones", {2, single(3), "like", single(1i)}
  "ones", {2, 3, "like", single(1)}
  "ones", {single(2), "double"}
  "ones", {single([2 3]), "int8"}
  "ones", {single(2), 3, "logical"}
  "ones", {single(2), "Single"}
  "ones", {single(2), "like"}
  "ones", {2, 3, "single"}
  "ones", {2, 2, "like", 1}
  "ones", {sparse([2 0 3])}
  "prod", {z, "native"}
  "prod", {z, "double"}
  "prod", {z, 1, "double"}
  "prod", {z, "default"}
  "prod", {z, "Native"}
  "prod", {[1 2; 3 4], "native"}
  "prod", {[1 2; 3 4], single(2), "double"}
};
for k = 1:rows (calls)
  [name, args] = calls{k, :};
  fpmex_same_outcome (fpmex_outcome (name, 1, args), fpmex_outcome (name, 1, args, true), sprintf ("options call %d (%s)", k, name));
endfor

## Not options: a character taken by its code, and a text read as sizes.
arrays_same (prod (z, "a"), z, "prod(x, 'a')");
lastwarn ("");
arrays_same (ones (single (2), "ab"), ones (2, 97, "single"), "ones(2, 'ab')");
assert (strcmp (lastwarn (), "Input arguments must be scalar."), "ones(2, 'ab'): %s", lastwarn ());
printf ("options: %d calls answered by Octave's own functions\n", rows (calls));
