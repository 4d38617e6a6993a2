## exp, sqrt and round of the double set in Octave, bit for bit. Octave turns
## a complex result whose imaginary parts are all zero into a real one, so
## such results are checked as real here.
b = @(varargin) fpmex_bits (varargin, "double");
nan_i = b ("FFF8000000000000");         # the indefinite NaN of NaN-by-rule results
payload = b ("7FF8000000012345");
e = b ("4005BF0A8B145769");
P = b ("401921FB54442D18");             # 2*pi rounded to double

## exp, real path: zeros, infinities, NaN, one, the ends of the range.
fpmex_check (exp ([0, -0, Inf, -Inf, payload, 1, 709, 710, -745, -746, b("0000000000000001")]),
                  [1, 1, Inf, 0, payload, e, b("7FDD422D2BE5DC9B"), Inf, b("0000000000000001"), 0, 1], [],
                  "exp real");

## exp, complex path: every special row, and whole turns of P.
x = [1, 1, Inf, Inf, Inf, Inf, -Inf, -Inf, -Inf, -Inf, 1, 0, -3, payload, 0, 0, 0, 1];
y = [0, -0, 0, 1, -2, NaN, NaN, Inf, -Inf, 1, NaN, NaN, Inf, 1, P, -P, 4*P, P];
re = [e, e, Inf, Inf, -Inf, nan_i, 0, 0, 0, 0, nan_i, nan_i, nan_i, payload, 1, 1, 1, e];
im = [0, -0, nan_i, Inf, -Inf, nan_i, 0, 0, 0, 0, nan_i, nan_i, nan_i, payload, 0, -0, 0, 0];
fpmex_check (exp (complex (x, y)), re, im, "exp complex");
fpmex_check (exp (complex (0, 2*pi)), 1, [], "exp(2*pi*i)");

## sqrt: real inputs, then each row of the complex case table on its own,
## since one element that needs an imaginary part makes the result complex.
fpmex_check (sqrt ([4, 0, Inf, b("FFF8000000012345"), 2, b("0000000000000001")]),
                  [2, 0, Inf, b("7FF8000000012345"), b("3FF6A09E667F3BCD"), 2^-537], [], "sqrt real");
fpmex_check (sqrt ([4, -4]), [2, 0], [0, 2], "sqrt([4 -4])");
fpmex_check (sqrt (-0), 0, [], "sqrt(-0)");   # 0 + 0i, which Octave makes real
fpmex_check (sqrt (-Inf), 0, Inf, "sqrt(-Inf)");
## Roots that rounding twice (to 64 bits, then to 53) would miss by one ulp.
fpmex_check (sqrt (b ("3EDCA45F5889E607", "3F4A59DC3BF5AF46", "40BC5B81748C7204", "41059468AD83BCAE")),
                  b ("3F656846037DC4C1", "3F9D09D8F0A780A3", "40554CF993313249", "407A47413D3A7B0F"), [],
                  "sqrt correctly rounded");
cases = {
  # x, y, real part, imaginary part ([] for a real result)
  payload, 1, payload, [];
  Inf, NaN, nan_i, [];
  Inf, Inf, nan_i, [];
  -Inf, -Inf, nan_i, [];
  Inf, 1, Inf, [];
  -Inf, -1, 0, Inf;
  0, 0, 0, [];
  0, -0, -0, [];
  0, 2, 1, 1;
  0, -2, 1, -1;
  0, Inf, Inf, Inf;
  0, NaN, NaN, NaN;
  1, NaN, NaN, [];
  1, -Inf, Inf, -Inf;
  4, 0, 2, [];
  -4, 0, 0, 2;
  -4, -0, -0, 2;
  3, 4, 2, 1;
  3, -4, 2, -1;
  -3, 4, 1, 2;
  -3, -4, 1, -2;
};
for k = 1:size (cases, 1)
  [x, y, re, im] = cases{k, :};
  fpmex_check (sqrt (complex (x, y)), re, im, sprintf ("sqrt(complex(%g, %g))", x, y));
endfor
z = sqrt (complex ([1e300, 1e-310], [1e300, 1e-310]));
assert (all (abs (z ./ ([1e300, 1e-310] .^ 0.5) - complex (1.0986841134678100, 0.4550898605622274)) < 1e-15),
        "sqrt of extreme parts");

## round: halves upwards, -0.5 to -0, the largest double below one half,
## denormals, integers from 2^52 on, specials, complex parts.
below = b ("3FDFFFFFFFFFFFFF");
fpmex_check (round ([0.5, 1.5, 2.5, -0.5, -1.5, -2.5, -0.7, below, -below, 0, -0, Inf, -Inf, payload, ...
                          b("0000000000000001"), b("8000000000000001"), 2^52 - 0.5, 2^53, 1e300]),
                  [1, 2, 3, -0, -1, -2, -1, 0, 0, 0, 0, Inf, -Inf, payload, 0, 0, 2^52, 2^53, 1e300], [], "round");
fpmex_check (round (complex (2.5, -2.5)), 3, -2, "round complex");

## The frame: banner, counts, empty and N-d inputs.
for name = {"exp", "sqrt", "round"}
  f = str2func (name{1});
  assert (strcmp (fpmex_error_message (@() f (1, 2)), [name{1} ": Wrong number of input arguments."]));
  assert (strcmp (fpmex_error_message (@() nthargout (1:2, f, 1)), [name{1} ": Too many output arguments."]));
  out = f (zeros (0, 3));
  assert (strcmp (class (out), "double") && isequal (size (out), [0, 3]), "%s of an empty input", name{1});
  out = f (reshape (1:12, 2, 3, 2));
  assert (isequal (size (out), [2, 3, 2]), "%s keeps the sizes", name{1});
endfor
fpmex_banner ("exp", "Exponential.");
fpmex_banner ("sqrt", "Square root.");
fpmex_banner ("round", "Round towards nearest integer.");
