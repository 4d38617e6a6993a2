% Octave unloads a MEX file at clear, after the exit function the library
% registered: the split kernels' worker threads must be gone by then. Large
% calls (split across threads) and clears in turn, results unchanged.
x = single(0.5 + rand(1e6, 1));
m = reshape(x, 1000, 1000);
bits = @(v) typecast(v(:), 'uint32');
y0 = bits(log2(x));
s0 = bits(x + x);
p0 = bits(prod(m));
for k = 1:10
  assert(isequal(bits(log2(x)), y0));
  assert(isequal(bits(x + x), s0));
  assert(isequal(bits(prod(m)), p0));
  if mod(k, 2)
    clear log2 plus prod
  else
    clear functions
  end
end
