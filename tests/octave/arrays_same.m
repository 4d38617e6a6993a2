## arrays_same (ACTUAL, EXPECTED, WHAT)
## Fails unless ACTUAL has EXPECTED's class, sizes, complexity and elements,
## bit for bit (so -0 differs from 0, and NaNs must match in their bits).
function arrays_same (actual, expected, what)
  assert (strcmp (class (actual), class (expected)), "%s: class %s, expected %s", what, class (actual), class (expected));
  assert (isequal (size (actual), size (expected)), "%s: size %s, expected %s", what, mat2str (size (actual)), mat2str (size (expected)));
  assert (iscomplex (actual) == iscomplex (expected), "%s: complexity", what);
  if (isfloat (actual))
    int_class = ifelse_class (actual);
    assert (isequal (typecast (real (actual(:)), int_class), typecast (real (expected(:)), int_class)), "%s: real parts differ", what);
    assert (isequal (typecast (imag (actual(:)), int_class), typecast (imag (expected(:)), int_class)), "%s: imaginary parts differ", what);
  else
    assert (isequal (actual, expected), "%s: elements differ", what);
  endif
endfunction

function c = ifelse_class (x)
  if (isa (x, "single"))
    c = "uint32";
  else
    c = "uint64";
  endif
endfunction
