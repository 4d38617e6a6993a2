## fpmex_same_outcome (ACTUAL, EXPECTED, WHAT)
## Fails unless two outcomes of fpmex_outcome agree: the same error message
## and warning, and outputs of the same class, sizes and bits.
function fpmex_same_outcome (actual, expected, what)
  assert (strcmp (actual.message, expected.message), "%s: error \"%s\", expected \"%s\"", what, actual.message, expected.message);
  assert (strcmp (actual.warning, expected.warning), "%s: warning \"%s\", expected \"%s\"", what, actual.warning, expected.warning);
  if (isempty (expected.message))
    for k = 1:numel (expected.values)
      arrays_same (actual.values{k}, expected.values{k}, sprintf ("%s, output %d", what, k));
    endfor
  endif
endfunction
