## The single set against Octave's own functions. For real inputs the
## builtin computed in double and rounded to single is the reference: the
## elementary functions of the single set are correctly rounded, and the
## double result lies far closer to the exact value than half a single ulp
## except within about 2^-29 of a rounding boundary (the samples are fixed,
## so such a case would show up once and for all, not at random). Where the
## set deviates from the builtins on purpose, the deviation is checked as
## such; each is listed once, with its reason, in docs/accuracy.md.
b = @(varargin) fpmex_bits (varargin, "single");
n = 20000;
x = conformance_samples ("single", n, 7);
pos = abs (x);
## Hard regions: around 1 for the logarithms, the ends of exp's range.
near1 = single (1) + single (rand (1, 2000) - 0.5) .* single (2) .^ -single (fix (rand (1, 2000) * 24));
edges = single ([88 + rand(1, 1000) * 0.8, -87 - rand(1, 1000) * 17]);

## log2, log, log10: real samples of both signs, against the builtin in
## double. Negative elements make the output complex with imaginary part P,
## the builtin's pi/log(base) rounded to single; other elements get +0.
for name = {"log2", "log", "log10"}
  f = str2func (name{1});
  for xs = {x, near1, pos}
    want = single (builtin (name{1}, double (xs{1})));
    got = f (xs{1});
    if (iscomplex (want))
      fpmex_check (got, real (want), imag (want), [name{1} " samples"]);
    else
      fpmex_check (got, want, [], [name{1} " samples"]);
    endif
  endfor
  ## Special values agree with the builtin, except the NaN sign (below).
  s = single ([0, -0, Inf, -Inf, 1, realmin("single"), b("00000001")]);
  want = single (builtin (name{1}, double (s)));
  fpmex_check (f (s), real (want), imag (want), [name{1} " specials"]);
endfor

## exp: real samples over the whole range (most overflow or give 1), the
## range's ends with subnormal results, specials; bit for bit.
for xs = {x, x / 1e36, edges, single([0, -0, Inf, -Inf, 88.72283, 88.72284, -103.97, -103.98])}
  fpmex_check (exp (xs{1}), single (builtin ("exp", double (xs{1}))), [], "exp samples");
endfor

## floor: bit for bit with the builtin, zeros' signs and NaN payloads kept.
s = [x, x / 1e30, b("7FC12345", "FFC00001", "80000000", "00000001", "80000001"), Inf, -Inf];
fpmex_check (floor (s), builtin ("floor", s), [], "floor samples");

## [f, e] = log2(x): as the builtin for finite inputs (e single, like f).
[f, e] = log2 (x);
[F, E] = builtin ("log2", x);
arrays_same (f, F, "log2 mantissa");
arrays_same (e, E, "log2 exponent");

## Complex inputs with both parts nonzero, from 1e-30 to 1e30 in size (exp:
## real parts up to 80, angles up to 3, where the period deviation below
## stays under a unit): within 4 single epsilons of |result| of the builtin
## in double, rounded (the complex builtins are not correctly rounded either).
mag = @(k, lo, hi) single ((rand (1, k) - 0.5 < 0) * 2 - 1) .* single (10 .^ (lo + rand (1, k) * (hi - lo)));
z = complex (mag (n, -30, 30), mag (n, -30, 30));
zexp = complex (single ((rand (1, n) - 0.5) * 160), single ((rand (1, n) - 0.5) * 6));
for name = {"log2", "log", "log10", "exp"}
  zs = z;
  if (strcmp (name{1}, "exp"))
    zs = zexp;
  endif
  got = feval (name{1}, zs);
  want = single (builtin (name{1}, double (zs)));
  assert (max (abs (double (got) - double (want)) ./ abs (double (want))) <= 4 * eps ("single"),
          "%s of complex samples", name{1});
endfor
fpmex_check (floor (z), builtin ("floor", real (z)), builtin ("floor", imag (z)), "floor complex");

## plus and lt of single samples: the builtin's sum, with results below
## 2^-126 flushed to a zero of their sign; lt exactly as the builtin.
small = x * 2^-100;                    # many sums in and near the subnormal range
for pair = {{x, fliplr(x)}, {small, fliplr(small)}, {x, -x}, {x(1), x}}
  [p, q] = deal (pair{1}{:});
  want = p + q;
  tiny = abs (want) < realmin ("single");
  want(tiny) *= 0;                     # a zero of the sum's sign
  fpmex_check (plus (p, q), want, [], "plus samples");
  assert (isequal (lt (p, q), p < q), "lt samples");
endfor
## Operands of other classes are converted to single first; the result is
## single even where Octave's own operator gives an integer class.
d = double (x(1:1000)) .* (1 + rand (1, 1000) * 1e-7);
d(abs (single (d)) < realmin ("single")) = 1;
fpmex_check (plus (x(1:1000), d), x(1:1000) + single (d), [], "plus single + double");
k = int16 (fix (rand (1, 50) * 60000 - 30000));
fpmex_check (plus (single (0.5), k), single (0.5) + single (k), [], "plus single + int16");
assert (isequal (lt (k, single (0)), k < 0), "lt int16");

## prod: runs of 2 to 5 samples of every magnitude, bit for bit with the
## builtin in double rounded once (the x87 product keeps 64 bits, the double
## one 53: both are far inside a single ulp).
for len = 2:5
  m = reshape (x(1:len * 1000), len, 1000);
  fpmex_check (prod (m), single (builtin ("prod", double (m))), [], sprintf ("prod of %d", len));
  fpmex_check (prod (m.', 2), single (builtin ("prod", double (m.'), 2)), [], sprintf ("prod of %d along 2", len));
endfor
m = reshape (single (1:24) / 7, 2, 3, 4);
fpmex_check (prod (m, 3), single (builtin ("prod", double (m), 3)), [], "prod along 3");
zc = reshape (z(1:600), 3, 200);
want = single (builtin ("prod", double (zc)));
got = prod (zc);
assert (max (conformance_ulps (real (got), real (want))) <= 4 && max (conformance_ulps (imag (got), imag (want))) <= 4,
        "prod complex");

## ones and pi agree with the builtins where they must.
arrays_same (ones (3, 4, 2), builtin ("ones", 3, 4, 2, "single"), "ones(3,4,2)");
arrays_same (ones ([2, 5]), builtin ("ones", [2, 5], "single"), "ones([2 5])");
arrays_same (ones (4), builtin ("ones", 4, "single"), "ones(4)");
arrays_same (pi, single (builtin ("pi")), "pi");

## The deliberate deviations of the single set.
## - The logarithms clear a NaN's sign (the x87 unit's sign rules, kept so
##   that every NaN result has one sign); the payload stays.
fpmex_check (log (b ("FFC01234")), b ("7FC01234"), [], "log NaN sign");
## - [f, e] = log2(Inf) gives e = Inf, and NaN gives e = NaN (the builtin: 0),
##   so that f .* 2 .^ e gives x back for every x.
[f, e] = log2 (single ([Inf, -Inf, NaN]));
fpmex_check (e, single ([Inf, Inf, NaN]), [], "log2 exponent of Inf and NaN");
## - log of x - 0i, x < 0, has imaginary part +P (the builtin: -P): the
##   zero's sign is not looked at on the negative real axis.
fpmex_check (log (complex (single (-1), -single (0))), single (0), single (pi), "log(-1 - 0i)");
## - plus flushes sums below 2^-126 to zero (the SSE flush-to-zero mode);
##   subnormal operands count with their values.
fpmex_check (plus (single (1.5e-38), single (-1.4e-38)), single (0), [], "plus flush to zero");
fpmex_check (plus (b ("00000001"), single (1)), single (1), [], "plus subnormal operand");
## - double operands that round to below 2^-126 become zeros of their sign.
fpmex_check (plus (-single (0), [1e-40, -1e-40]), single ([0, -0]), [], "plus tiny double operand");
## - uint32 operands are converted as int32 and then shifted by 2^32, two
##   roundings (the builtin rounds once).
fpmex_check (plus (single (0), uint32 ([4294967295, 2147483777])), single ([2^32, 2^31]), [], "plus uint32");
## - no implicit expansion beyond scalars.
assert (strcmp (fpmex_error_message (@() plus (single ([1 2 3]), single ([1; 2]))), "plus: Incompatible dimensions."));
## - exp of a complex input measures the angle in turns of P, single(2*pi),
##   so whole turns of P give exactly 1 (the builtin: an error of ~1.7e-7 a turn).
P = single (2 * pi);
fpmex_check (exp (complex (single (0), P * single ([1, 2, 4, 1024]))), single ([1, 1, 1, 1]), [], "exp whole turns of P");
## - the result of ones for an empty size vector is 1x1 (the builtin: 0x0).
arrays_same (ones ([]), single (1), "ones([])");
## - prod of an array without a dimension longer than 1 returns it unchanged.
arrays_same (prod (zeros (0, 0, "single")), zeros (0, 0, "single"), "prod([])");

printf ("conformance single: %d samples a function, all agree\n", n);
