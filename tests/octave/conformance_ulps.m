## D = conformance_ulps (A, B)
## Elementwise distance in units in the last place between the finite real
## arrays A and B of one floating class (0 where they are equal, zeros of
## both signs included), counted along the ordered bit patterns. Exact for
## distances below 2^53; values of opposite signs are as far apart as their
## distances from zero added.
function d = conformance_ulps (a, b)
  assert (strcmp (class (a), class (b)), "conformance_ulps: classes %s and %s", class (a), class (b));
  if (isa (a, "single"))
    [ha, la] = deal (double (typecast (a(:), "uint32")), 0);
    [hb, lb] = deal (double (typecast (b(:), "uint32")), 0);
    top = 2^31; scale = 0;
  else
    [ha, la] = halves (a(:));
    [hb, lb] = halves (b(:));
    top = 2^31; scale = 2^32;
  endif
  na = ha >= top; nb = hb >= top;
  ha(na) -= top; hb(nb) -= top;
  if (scale == 0)
    d = abs ((ha - hb) .* (na == nb) + (ha + hb) .* (na != nb));
  else
    same = abs ((ha - hb) * scale + (la - lb));
    apart = (ha + hb) * scale + la + lb;
    d = same .* (na == nb) + apart .* (na != nb);
  endif
endfunction

function [high, low] = halves (x)
  words = double (typecast (x, "uint32"));
  low = words(1:2:end);
  high = words(2:2:end);
endfunction
