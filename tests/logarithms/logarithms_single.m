## log2, log and log10 of the single set in Octave, bit for bit.
s = @(bits) fpmex_bits (bits, "single");
P2 = s ("40910918"); Q2 = s ("40110918");
Pe = s ("40490FDB"); Qe = s ("3FC90FDB");
P10 = s ("3FAEA3E2"); Q10 = s ("3F2EA3E2");

logarithms_rules (@log2, "single", P2, Q2);
logarithms_rules (@log, "single", Pe, Qe);
logarithms_rules (@log10, "single", P10, Q10);

## Values the three functions give exactly, or rounded once from the exact
## logarithm (reference bits from MPFR).
fpmex_check (log2 (single ([-4, 8, 2^-149])), single ([2, 3, -149]), [P2, 0, 0], "log2 of -4, 8, 2^-149");
fpmex_check (log2 (complex (single ([0, 0]), single ([8, -8]))), single ([3, 3]), [Q2, -Q2], "log2 of +-8i");
fpmex_check (log2 (complex (single (3), single (4))), s ("40149A78"), s ("3FAB3D2B"), "log2 of 3+4i");
fpmex_check (log (complex (single (3), single (4))), s ("3FCE0210"), s ("3F6D6338"), "log of 3+4i");
fpmex_check (log10 (complex (single (3), single (4))), s ("3F32EFB3"), s ("3ECE3136"), "log10 of 3+4i");
fpmex_check (log10 (single ([100, 1, -10, -Inf])), single ([2, 0, 1, Inf]), [0, 0, P10, P10], "log10 of 100, 1, -10, -Inf");
fpmex_check (log10 (complex (single ([0, 0]), single ([100, -100]))), single ([2, 2]), [Q10, -Q10], "log10 of +-100i");
fpmex_check (log (single ([-1, -Inf])), single ([0, Inf]), [Pe, Pe], "log of -1, -Inf");
## Either side of the ratio threshold 2^54: 1 + 2^-27 i (equality, direct
## formula) and 1 + 2^-28 i.
fpmex_check (log2 (complex (single ([1, 1]), single ([2^-27, 2^-28]))), s ({"2438AA3B", "2338AA3B"}),
                  s ({"3238AA3B", "31B8AA3B"}), "log2 at the ratio threshold");
fpmex_check (log (complex (single ([1, 1]), single ([2^-27, 2^-28]))), s ({"24000000", "23000000"}),
                  s ({"32000000", "31800000"}), "log at the ratio threshold");
fpmex_check (log10 (complex (single ([1, 1]), single ([2^-27, 2^-28]))), s ({"235E5BD9", "225E5BD9"}),
                  s ({"315E5BD9", "30DE5BD9"}), "log10 at the ratio threshold");

## Dissection.
[f, e] = log2 (single ([1, -3, 0, -0, NaN, Inf, -Inf, 2^-149, -realmax("single")]));
fpmex_check (f, single ([0.5, -0.75, 0, -0, NaN, Inf, -Inf, 0.5, -(1 - 2^-24)]), [], "dissection F");
fpmex_check (e, single ([1, 2, 0, -0, NaN, Inf, Inf, -148, 128]), [], "dissection E");
[f, e] = log2 (zeros (0, 2, "single"));
fpmex_check (f, zeros (0, 2, "single"), [], "empty dissection F");
fpmex_check (e, zeros (0, 2, "single"), [], "empty dissection E");
assert (fpmex_error_message (@() nthargout (1:2, @log2, complex (single (1), single (2)))), "log2: Argument must be real.");
assert (fpmex_error_message (@() nthargout (1:2, @log2, complex (zeros (0, 1, "single"), zeros (0, 1, "single")))),
        "log2: Argument must be real.");

## Argument counts and banners.
assert (fpmex_error_message (@() nthargout (1:3, @log2, single (1))), "log2: Too many output arguments.");
assert (fpmex_error_message (@() nthargout (1:2, @log, single (1))), "log: Too many output arguments.");
assert (fpmex_error_message (@() nthargout (1:2, @log10, single (1))), "log10: Too many output arguments.");
fpmex_banner ("log2", "Base 2 logarithm and dissect floating point number.");
fpmex_banner ("log", "Natural logarithm.");
fpmex_banner ("log10", "Base 10 logarithm.");
