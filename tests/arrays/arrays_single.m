% ones and prod of the single set inside Octave, bit for bit.
assert (exist ('ones') == 3, 'ones must resolve to the MEX file');
assert (exist ('prod') == 3, 'prod must resolve to the MEX file');
sizeMessage = 'ones: Size vector must be a row vector with integer elements.';
dimMessage = 'prod: Dimension argument must be a positive integer scalar.';
scalarWarning = 'Input arguments must be scalar.';

%% ones: sizes and values
cases = {
  {single(3)},                  [3 3]
  {single([2 3 4])},            [2 3 4]
  {single([])},                 [1 1]
  {zeros(1, 0, 'single')},      [1 1]
  {single([2.9 3])},            [2 3]
  {single([2.5 -1])},           [2 0]
  {single(-2)},                 [0 0]
  {single(NaN)},                [0 0]
  {3},                          [3 3]
  {[2.9 3]},                    [2 3]
  {int8([2 3])},                [2 3]
  {true},                       [1 1]
  {single(2), single(3)},       [2 3]
  {int8(2), uint16(3)},         [2 3]
  {single(2), 3, int32(4)},     [2 3 4]
  {2, 3},                       [2 3]
  {true, single(2)},            [1 2]
  {single(2), Inf},             [2 0]
  {single(2), NaN},             [2 0]
  {single(2.9), -0.5},          [2 0]
};
for k = 1:rows (cases)
  lastwarn ('');
  o = ones (cases{k, 1}{:});
  what = sprintf ('ones case %d', k);
  assert (isempty (lastwarn ()), '%s: unexpected warning %s', what, lastwarn ());
  arrays_same (o, reshape (repmat (single (1), 1, prod (double (cases{k, 2}))), cases{k, 2}), what);
end

% Non-scalar separate arguments: a warning each, then the first element or 0.
lastwarn ('');
arrays_same (ones (single ([2 3]), 4), single ([1 1 1 1; 1 1 1 1]), 'ones([2 3], 4)');
assert (strcmp (lastwarn (), scalarWarning), lastwarn ());
lastwarn ('');
arrays_same (ones (2, single ([])), zeros (2, 0, 'single'), 'ones(2, [])');
assert (strcmp (lastwarn (), scalarWarning), lastwarn ());

% Every fill count up to two whole blocks and beyond.
for n = [1:9 1003]
  arrays_same (ones (single ([1 n])), reshape (repmat (single (1), 1, n), 1, n), sprintf ('ones(1, %d)', n));
end

assert (strcmp (fpmex_error_message (@() ones (single ([2; 3]))), sizeMessage));
assert (strcmp (fpmex_error_message (@() ones (single ([1 2; 3 4]))), sizeMessage));
assert (strcmp (fpmex_error_message (@() ones (single ([2 3e9]))), 'ones: Size vector elements must be less than 2^31.'));
assert (strcmp (fpmex_error_message (@() ones (single (Inf))), 'ones: Size vector elements must be less than 2^31.'));
assert (! isempty (fpmex_error_message (@() ones (2^20, 2^20, 2^20))), 'a result beyond memory must fail');
assert (! isempty (fpmex_error_message (@() ones (single ([65536 65536 65536 65536])))), 'a count beyond size_t must fail');
try
  [a, b] = ones (2);
  error ('two outputs of ones must fail');
catch err
  assert (strcmp (err.message, 'ones: Too many output arguments.'), err.message);
end
printed = evalc ('ones ()');
assert (strncmp (printed, ["\nOnes array.\n\n\t"], 15), printed);

%% prod: shapes and copies
x = single (reshape (1:12, 3, 4));
arrays_same (prod (x), single ([6 120 504 1320]), 'prod(x)');
arrays_same (prod (x, 1), single ([6 120 504 1320]), 'prod(x, 1)');
arrays_same (prod (x, 2), single ([280; 880; 1944]), 'prod(x, 2)');
arrays_same (prod (x, 3), x, 'prod(x, 3)');
arrays_same (prod (x, single (7)), x, 'prod(x, 7)');
arrays_same (prod (single ([1 2 3 4])), single (24), 'row vector');
arrays_same (prod (single (5)), single (5), 'scalar');
arrays_same (prod (single ([])), single ([]), '0x0');
arrays_same (prod (zeros (1, 0, 'single')), zeros (1, 0, 'single'), '1x0');
arrays_same (prod (zeros (0, 1, 'single')), zeros (0, 1, 'single'), '0x1');
arrays_same (prod (zeros (0, 3, 'single')), zeros (0, 1, 'single'), '0x3');
arrays_same (prod (zeros (2, 0, 'single'), 2), zeros (2, 0, 'single'), 'prod(2x0, 2)');

% Every run count and strided column count, with factors whose products are
% exact, so that the double builtin gives the same bits.
factors = single ([-2 -1 0.5 1 2 -0.5 4]);
shapes = {[11 6], [3 11], [1 1 5], [2 3 4], [15 3 2], [7 5 3], [13 2 2 2], [4 9]};
for s = 1:numel (shapes)
  n = prod (double (shapes{s}));
  data = reshape (factors(mod ((0:n-1) * 5, numel (factors)) + 1), shapes{s});
  for d = 1:numel (shapes{s})
    expected = single (builtin ('prod', double (data), d));
    arrays_same (prod (data, d), expected, sprintf ('shape %d, dim %d', s, d));
  end
  first = find (shapes{s} > 1, 1);
  arrays_same (prod (data), single (builtin ('prod', double (data), first)), sprintf ('shape %d, prod(x)', s));
end

% Special values: only the stored result leaves the single range.
bits = @(v) typecast (single (v), 'uint32');
assert (bits (prod (single ([1e30 1e30 1e-30 1e-30 4]))) == bits (4));
assert (bits (prod (single ([1e-30 1e-30 1e30 1e30 4]))) == bits (4));
assert (bits (prod (single ([1e30 1e30 1e30]))) == bits (Inf));
assert (bits (prod (single ([-1e30 1e30 1e30]))) == bits (-Inf));
assert (bits (prod (single ([-1 0]))) == uint32 (2147483648));
assert (bits (prod (single ([1e-30 1e-15]))) == uint32 (1));
assert (isnan (prod (single ([0 Inf]))));

% Complex input gives complex output.
c = complex (single ([1 2 3; 4 5 6]), single ([0 1 -1; 2 0 -2]));
% Small integers: the double builtin's products are exact too.
arrays_same (prod (c), single (builtin ('prod', double (c))), 'complex prod(c)');
arrays_same (prod (c, 2), single (builtin ('prod', double (c), 2)), 'complex prod(c, 2)');
% Octave narrows a complex result whose imaginary parts are all zero when it
% takes the array over (its own prod does the same), so only the values show.
arrays_same (prod (complex (single ([1 2; 3 4]), single ([0 0; 0 0]))), single ([3 8]), 'zero imaginary parts');

% Dimension arguments.
arrays_same (prod (x, 1.9), prod (x, 1), 'prod(x, 1.9)');
arrays_same (prod (x, single (2.7)), prod (x, 2), 'prod(x, 2.7)');
arrays_same (prod (x, int8 (2)), prod (x, 2), 'prod(x, int8(2))');
arrays_same (prod (x, true), prod (x, 1), 'prod(x, true)');
arrays_same (prod (x, 'a'), x, 'prod(x, ''a'')');
bad = {0.5, 0, -1, NaN, Inf, -Inf, [1 2], [], 1+2i, complex(1, 0), logical([1 1])};
for k = 1:numel (bad)
  msg = fpmex_error_message (@() prod (x, bad{k}));
  assert (strcmp (msg, dimMessage), 'prod(x, bad %d): %s', k, msg);
end
msg = fpmex_error_message (@() prod (x, {}));
assert (! isempty (msg) && ! strcmp (msg, dimMessage), msg);

% Other classes go to Octave's own prod, which this file must not reach again.
d = [1 2 3; 4 5 6];
arrays_same (prod (d, single (2)), builtin ('prod', d, 2), 'prod(double, single(2))');
arrays_same (prod (d), builtin ('prod', d), 'prod(double)');
arrays_same (prod (int8 (d), single (1)), builtin ('prod', int8 (d), 1), 'prod(int8, single(1))');
arrays_same (prod ([]), 1, 'prod([]) of a double');
assert (! isempty (fpmex_error_message (@() prod (d, single (0.5)))), 'the builtin judges the dimension');

printed = evalc ('prod ()');
assert (strncmp (printed, ["\nProduct of elements.\n\n\t"], 24), printed);
assert (strcmp (fpmex_error_message (@() prod (x, 1, 2)), 'prod: Wrong number of input arguments.'));
try
  [a, b] = prod (x);
  error ('two outputs of prod must fail');
catch err
  assert (strcmp (err.message, 'prod: Too many output arguments.'), err.message);
end
disp ('ones, prod: all Octave checks passed');
