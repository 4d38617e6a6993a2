## fpmex_check (ACTUAL, RE, IM, WHAT)
## Fails unless ACTUAL has the class and size of RE and its real and
## imaginary parts equal RE and IM bit for bit (NaN payloads and zero signs
## included). An empty IM means ACTUAL must be real.
function fpmex_check (actual, re, im, what)
  cls = class (re);
  assert (strcmp (class (actual), cls), "%s: class %s, expected %s", what, class (actual), cls);
  assert (isequal (size (actual), size (re)), "%s: wrong size", what);
  assert (iscomplex (actual) == ! isempty (im), "%s: complex is %d, expected %d", what, iscomplex (actual), ! isempty (im));
  if (strcmp (cls, "single"))
    int = "uint32";
  else
    int = "uint64";
  endif
  got = typecast (real (actual(:)), int);
  want = typecast (re(:), int);
  assert (isequal (got, want), "%s: real part\n got %s\nwant %s", what, sprintf ("%x ", got), sprintf ("%x ", want));
  if (! isempty (im))
    got = typecast (imag (actual(:)), int);
    want = typecast (im(:), int);
    assert (isequal (got, want), "%s: imaginary part\n got %s\nwant %s", what, sprintf ("%x ", got), sprintf ("%x ", want));
  endif
endfunction
