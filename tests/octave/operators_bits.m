% operators_bits(x): the bit patterns of a single array, as a uint32 row.
function b = operators_bits(x)
  assert(isa(x, 'single'), 'operators_bits: expected a single array, got %s', class(x));
  b = typecast(x(:)', 'uint32');
end
