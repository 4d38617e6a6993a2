## exp and floor of the single set in Octave, bit for bit. Octave turns a
## complex result whose imaginary parts are all zero into a real one, so
## such results are checked as real here.
b = @(varargin) fpmex_bits (varargin, "single");
nan_i = b ("FFC00000");                 # the indefinite NaN of NaN-by-rule results
payload = b ("7FC12345");
e = b ("402DF854");
P = b ("40C90FDB");                     # 2*pi rounded to single

## exp, real path: zeros, infinities, NaN, one, the ends of the range.
fpmex_check (exp (b ("00000000", "80000000", "7F800000", "FF800000", "7FC12345", "3F800000",
                          "42B20000", "C2C80000", "C2D00000", "00000001")),
                  b ("3F800000", "3F800000", "7F800000", "00000000", "7FC12345", "402DF854",
                     "7F800000", "0000001B", "00000000", "3F800000"), [], "exp real");

## exp, complex path: every special row, and whole turns of P.
x = [1, 1, Inf, Inf, Inf, Inf, -Inf, -Inf, -Inf, -Inf, 1, 0, -3, payload, 0, 0, 0, 1];
y = [0, -0, 0, 1, -2, NaN, NaN, Inf, -Inf, 1, NaN, NaN, Inf, 1, P, -P, 4*P, P];
re = [e, e, Inf, Inf, -Inf, nan_i, 0, 0, 0, 0, nan_i, nan_i, nan_i, payload, 1, 1, 1, e];
im = [0, -0, nan_i, Inf, -Inf, nan_i, 0, 0, 0, 0, nan_i, nan_i, nan_i, payload, 0, -0, 0, 0];
fpmex_check (exp (complex (single (x), single (y))), single (re), single (im), "exp complex");
fpmex_check (exp (complex (single (0), single (2*pi))), single (1), [], "exp(2*pi*i)");

## floor: halves, signed zeros, denormals, integers from 2^23 on, specials.
fpmex_check (floor (single ([2.7, -2.7, 0.5, -0.5, -0, 0, Inf, -Inf, 8388607.5, -8388607.5, 2^23, 2^30, -3e38])),
                  single ([2, -3, 0, -1, -0, 0, Inf, -Inf, 8388607, -8388608, 2^23, 2^30, -3e38]), [], "floor");
fpmex_check (floor (b ("00000001", "80000001", "7FC12345")), b ("00000000", "BF800000", "7FC12345"), [],
                  "floor denormals and NaN");
fpmex_check (floor (complex (single ([1.5, -0.5]), single ([-1.5, 2]))), single ([1, -1]), single ([-2, 2]),
                  "floor complex");

## The frame: banner, counts, empty and N-d inputs.
for name = {"exp", "floor"}
  f = str2func (name{1});
  assert (strcmp (fpmex_error_message (@() f (single (1), single (2))), [name{1} ": Wrong number of input arguments."]));
  assert (strcmp (fpmex_error_message (@() nthargout (1:2, f, single (1))), [name{1} ": Too many output arguments."]));
  out = f (zeros (0, 3, "single"));
  assert (strcmp (class (out), "single") && isequal (size (out), [0, 3]), "%s of an empty input", name{1});
  out = f (single (reshape (1:12, 2, 3, 2)));
  assert (isequal (size (out), [2, 3, 2]), "%s keeps the sizes", name{1});
endfor
fpmex_banner ("exp", "Exponential.");
fpmex_banner ("floor", "Round towards -infinity.");
