% plus and lt of the single function set in Octave, called by name (Octave's
% operators do not dispatch to MEX files). Values are compared bit for bit.
bits = @operators_bits;
s = @(b) typecast(uint32(b), 'single');

%% plus: classes of the operands and the result
assert(class(plus(single([1 2 3]), 2)), 'single');
assert(plus(single([1 2 3]), 2), single([3 4 5]));
assert(plus(2, single([1 2 3])), single([3 4 5]));
assert(plus('ABC', single(0)), single([65 66 67]));
assert(plus(char(200), single(0)), single(200));

%% conversions, seen through x + single(-0), which changes no single value
conv = @(x) bits(plus(x, single(-0)));
assert(conv([0.1 1e300 -1e300 1e-40 -1e-40 -0]), uint32([0x3DCCCCCD 0x7F800000 0xFF800000 0 0x80000000 0x80000000]));
assert(conv(int32(2^24 + 1)), bits(single(2^24)));
assert(conv(uint32([2^32-1 2^31+129])), bits(single([2^32 2^31])));
assert(conv(int16([-32768 32767])), bits(single([-32768 32767])));
assert(conv(uint16(65535)), bits(single(65535)));
v8 = -100 + 11 * (0:19);
assert(conv(int8(v8)), bits(single(v8)));
assert(conv(uint8(255 - 13 * (0:19))), bits(single(255 - 13 * (0:19))));
c = plus(complex([0.1 2], [-1e-40 -3]), single(0));
assert(bits(real(c)), uint32([0x3DCCCCCD 0x40000000]));
assert(bits(imag(c)), uint32([0x80000000 0xC0400000]));

%% rejected classes and sparse operands
for bad = {{1}, struct('a', 1), true, int64(1), uint64([1 2])}
  operators_error(@() plus(bad{1}, single(1)), 'plus: Wrong data type.');
  operators_error(@() plus(single(1), bad{1}), 'plus: Wrong data type.');
  operators_error(@() lt(bad{1}, single(1)), 'lt: Wrong data type.');
end
operators_error(@() plus(sparse([1 0 2]), single(1)), 'plus: Sparse operands are not supported.');
operators_error(@() lt(single(1), sparse(1)), 'lt: Sparse operands are not supported.');

%% shapes
for f = {@plus, @lt}
  g = f{1};
  assert(size(g(single(1), single(ones(2,3,4)))), [2 3 4]);
  assert(size(g(single(ones(2,3,4)), 1)), [2 3 4]);
  assert(size(g(single(ones(2,3)), ones(2,3))), [2 3]);
  name = func2str(g);
  operators_error(@() g(single(ones(2,3)), single(ones(3,2))), [name ': Incompatible dimensions.']);
  operators_error(@() g(single([1 2 3]), single([1;2;3])), [name ': Incompatible dimensions.']);
  for pair = {{zeros(0,3), single(1)}, {single(1), zeros(3,0)}, {{}, single([1 2])}, {single([1 2]), cell(0,4)}}
    r = g(pair{1}{1}, pair{1}{2});
    assert(size(r), [0 0]);
  end
end
assert(class(plus(zeros(0,3), single(1))), 'single');
assert(class(lt(zeros(0,3), single(1))), 'logical');

%% plus: arithmetic, NaN choice and copied imaginary parts
a = s([0x7F61B1E6 0x7F800000 0x00A355E6 0x00C00000 0x40A00000 0x80000000 0x7FC00001 0x3F800000 0x7F800001]);
b = s([0x7F61B1E6 0xFF800000 0x8098724E 0x80400000 0xC0A00000 0x80000000 0x7FC00002 0x7FC00003 0x3F800000]);
assert(bits(plus(a, b)), uint32([0x7F800000 0xFFC00000 0 0x00800000 0 0x80000000 0x7FC00001 0x7FC00003 0x7FC00001]));
% With a scalar operand the array element is the first addend, so its NaN
% wins on either side; two scalars count as scalar first.
assert(bits(plus(b(7), a([7 7]))), uint32([0x7FC00001 0x7FC00001]));
assert(bits(plus(a([7 7]), b(7))), uint32([0x7FC00001 0x7FC00001]));
assert(bits(plus(b(7), a(7))), uint32(0x7FC00001));
assert(plus(complex(single(1), single(2)), single([1 2])), complex(single([2 3]), single([2 2])));
kept = s([0x3F800000 0x80000000 0x00000001 0x7F800001]);
r = plus(single([1 2 3 4]), complex(single([1 2 3 4]), kept));
assert(bits(imag(r)), bits(kept));
r = plus(complex(single([1 2 3 4]), kept), single(1));
assert(bits(imag(r)), bits(kept));
% Octave itself turns a complex result whose imaginary parts are all zero
% into a real array; the values are what count here.
assert(plus(complex(single([1 2]), single([3 -4])), complex(single([1 2]), single([-3 4]))), single([2 4]));

%% lt
assert(lt(single(1), single([0 1 2])), logical([0 0 1]));
assert(lt(single([0 1 2]), single(1)), logical([1 0 0]));
assert(lt(single([1 2; 3 4]), single([2 2; 2 2])), logical([1 0; 0 0]));
assert(lt(single([-0 NaN 1 -Inf Inf]), single([0 1 NaN -3.4e38 Inf])), logical([0 0 0 1 0]));
assert(lt(single(NaN), single(1:1000)), false(1, 1000));
assert(lt(single(1:1000), single(NaN)), false(1, 1000));
assert(lt(single(NaN), single([NaN NaN])), logical([0 0]));
assert(lt(complex(single(1), single(5)), single(2)), true);
assert(lt(complex(single([3 3]), single([-1 0])), complex(single([3 4]), single([9 0]))), logical([0 1]));
assert(lt(int8([1 2 3]), single(2)), logical([1 0 0]));
assert(lt(s([1 0x80000001]), s([2 0])), logical([1 1]));

%% every group shape
for n = [1:9 15 16 17 1001]
  x = single(mod((0:n-1) * 7, 5));
  y = single(mod((0:n-1) * 3, 4));
  assert(plus(x, y), x + y);
  assert(plus(single(2.5), y), 2.5 + y);
  assert(lt(x, y), x < y);
  assert(lt(single(2), y), 2 < y);
  assert(lt(x, single(2)), x < 2);
end

%% frame
assert(strncmp(evalc('plus()'), sprintf('\nAddition.\n\n\t'), 13));
assert(strncmp(evalc('lt()'), sprintf('\nLess than.\n\n\t'), 14));
operators_error(@() plus(single(1)), 'plus: Wrong number of input arguments.');
operators_error(@() lt(1, 2, 3), 'lt: Wrong number of input arguments.');
try
  [p, q] = plus(single(1), single(2));
  error('no error for two outputs');
catch err
  assert(err.message, 'plus: Too many output arguments.');
end
disp('operators_single: all passed');
