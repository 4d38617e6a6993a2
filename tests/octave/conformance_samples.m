## X = conformance_samples (CLS, N, SEED)
## A row of N finite values of class CLS ("single" or "double") drawn from
## uniformly random bit patterns, so every binade from the subnormals to the
## largest values is equally likely, both signs included. NaN and Inf
## patterns are replaced by their finite neighbours' class of values (the
## special values are checked from tables). Reproducible through SEED.
function x = conformance_samples (cls, n, seed)
  rand ("twister", seed);
  if (strcmp (cls, "single"))
    words = uint32 (fix (rand (1, n) * 2^32));
    words = bitand (words, uint32 (0xFF7FFFFF));   # exponent field never all ones
    x = typecast (words, "single");
  else
    words = uint32 (fix (rand (1, 2 * n) * 2^32));
    ## High words (little endian: odd positions 2, 4, ...) lose the top
    ## exponent bit's all-ones pattern in the same way.
    words(2:2:end) = bitand (words(2:2:end), uint32 (0xFFEFFFFF));
    x = typecast (words, "double");
  endif
endfunction
