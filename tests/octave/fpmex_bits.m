## V = fpmex_bits (BITS, CLS)
## The values of class CLS ("single" or "double") whose encodings are the hex
## texts BITS (a string or a cell array of them, giving a row), so that NaN
## payloads and constants are written down exactly. Parsed with sscanf only:
## library functions such as hex2dec call ones, prod or plus, which the MEX
## files on the test path shadow.
function v = fpmex_bits (bits, cls)
  bits = cellstr (bits);
  n = numel (bits);
  if (strcmp (cls, "single"))
    words = zeros (1, n, "uint32");
    for k = 1:n
      words(k) = sscanf (bits{k}, "%x");
    endfor
    v = typecast (words, "single");
  else
    words = zeros (1, n, "uint64");
    for k = 1:n
      words(k) = uint64 (sscanf (bits{k}(1:8), "%x")) * 4294967296 + uint64 (sscanf (bits{k}(9:16), "%x"));
    endfor
    v = typecast (words, "double");
  endif
endfunction
