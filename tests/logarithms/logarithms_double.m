## log2 and log10 of the double set in Octave, bit for bit.
d = @(bits) fpmex_bits (bits, "double");
P2 = d ("40122123045B5DEC"); Q2 = d ("40022123045B5DEC");
P10 = d ("3FF5D47C4CB2FBA1"); Q10 = d ("3FE5D47C4CB2FBA1");

logarithms_rules (@log2, "double", P2, Q2);
logarithms_rules (@log10, "double", P10, Q10);

## Values the two functions give exactly, or rounded once from the exact
## logarithm (reference bits from MPFR).
fpmex_check (log2 ([-4, 8, 2^-1074]), [2, 3, -1074], [P2, 0, 0], "log2 of -4, 8, 2^-1074");
fpmex_check (log2 (complex ([0, 0], [8, -8])), [3, 3], [Q2, -Q2], "log2 of +-8i");
fpmex_check (log2 (complex (3, 4)), d ("4002934F0979A371"), d ("3FF567A563CED900"), "log2 of 3+4i");
fpmex_check (log10 (complex (3, 4)), d ("3FE65DF657B04301"), d ("3FD9C626BC5DCB74"), "log10 of 3+4i");
fpmex_check (log10 ([100, 1, -10, -Inf]), [2, 0, 1, Inf], [0, 0, P10, P10], "log10 of 100, 1, -10, -Inf");
fpmex_check (log10 (complex ([0, 0], [100, -100])), [2, 2], [Q10, -Q10], "log10 of +-100i");
## Either side of the ratio threshold 512: 1 + 2^-5 i and 1 + 2^-4 i.
fpmex_check (log2 (complex ([1, 1], [2^-5, 2^-4])), d ({"3F4712653743F454", "3F6709C46D7AAC77"}),
                  d ({"3FA7135B3E5E4277", "3FB70D9A3D45E872"}), "log2 at the ratio threshold");
fpmex_check (log10 (complex ([1, 1], [2^-5, 2^-4])), d ({"3F2BC80239E5B560", "3F4BBD9E9482AF09"}),
                  d ({"3F8BC92A791C221C", "3F9BC23CCC98600C"}), "log10 at the ratio threshold");

## Dissection.
[f, e] = log2 ([1, -3, 0, -0, NaN, Inf, -Inf, 2^-1074, -realmax]);
fpmex_check (f, [0.5, -0.75, 0, -0, NaN, Inf, -Inf, 0.5, -(1 - 2^-53)], [], "dissection F");
fpmex_check (e, [1, 2, 0, -0, NaN, Inf, Inf, -1073, 1024], [], "dissection E");
[f, e] = log2 (zeros (0, 2));
fpmex_check (f, zeros (0, 2), [], "empty dissection F");
fpmex_check (e, zeros (0, 2), [], "empty dissection E");
assert (fpmex_error_message (@() nthargout (1:2, @log2, complex (1, 2))), "log2: Argument must be real.");
assert (fpmex_error_message (@() nthargout (1:2, @log2, complex (zeros (0, 1), zeros (0, 1)))), "log2: Argument must be real.");

## Argument counts and banners.
assert (fpmex_error_message (@() nthargout (1:3, @log2, 1)), "log2: Too many output arguments.");
assert (fpmex_error_message (@() nthargout (1:2, @log10, 1)), "log10: Too many output arguments.");
fpmex_banner ("log2", "Base 2 logarithm and dissect floating point number.");
fpmex_banner ("log10", "Base 10 logarithm.");
