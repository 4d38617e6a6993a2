## logarithms_rules (F, CLS, P, Q)
## The rules every logarithm F (log2, log or log10 of class CLS) follows
## whatever its base, with P and Q its imaginary parts on the negative real
## and the positive imaginary axis. log(1) = 0 in every base, so the inputs
## are chosen from +-1, zeros, infinities and NaNs.
function logarithms_rules (F, CLS, P, Q)
  name = func2str (F);
  b = @(bits) fpmex_bits (bits, CLS);
  z = zeros (1, 1, CLS);
  inf = Inf (1, 1, CLS);
  if (strcmp (CLS, "single"))
    negNaN = b ("FFC01234"); posNaN = b ("7FC01234"); sNaN = b ("7F800ABC"); qsNaN = b ("7FC00ABC");
  else
    negNaN = b ("FFF8000000001234"); posNaN = b ("7FF8000000001234");
    sNaN = b ("7FF0000000000ABC"); qsNaN = b ("7FF8000000000ABC");
  endif

  ## Real inputs without negative elements give real outputs; -0 gives -Inf.
  fpmex_check (F ([1, -z, z, inf, negNaN]), [z, -inf, -inf, inf, posNaN], [], [name ": nonnegative"]);
  ## A negative element makes the output complex: P there, +0 elsewhere, NaNs
  ## sign-cleared in both parts.
  fpmex_check (F ([-1, -inf, 1, negNaN, -z]), [z, inf, z, posNaN, -inf], [P, P, z, posNaN, z],
                    [name ": with negatives"]);

  ## The complex case table.
  x = [1,      negNaN, sNaN, -1, 1,  z,  -z, z,    inf, z,  -inf, posNaN, inf, 1];
  y = [negNaN, posNaN, z,    z,  -z, 1,  -1, -inf, z,   z,  -z,   2,      1,   inf];
  re = [negNaN, posNaN, qsNaN, z, z, z, z, inf, inf, -inf, inf, posNaN, inf, inf];
  im = [negNaN, posNaN, qsNaN, P, -z, Q, -Q, -Q, z, z, P, posNaN, z, Q];
  fpmex_check (F (complex (x, y)), re, im, [name ": complex cases"]);

  ## Complex inputs whose elements all stay on the real axis give real outputs.
  fpmex_check (F (complex ([1, z, inf, posNaN], [-z, z, z, -z])), [z, -inf, inf, posNaN], [],
                    [name ": complex input, real results"]);

  ## Empty inputs keep their sizes and class.
  fpmex_check (F (zeros (0, 3, CLS)), zeros (0, 3, CLS), [], [name ": empty"]);
  fpmex_check (F (complex (zeros (2, 0, CLS), zeros (2, 0, CLS))), zeros (2, 0, CLS), [], [name ": empty complex"]);

  assert (strcmp (fpmex_error_message (@() F (1, 2)), [name ": Wrong number of input arguments."]), "%s: two inputs", name);
endfunction
