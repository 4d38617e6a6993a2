## Every deliverable of the set on the path, as Octave sees it: banners,
## argument-count messages, output classes, N-d and empty shapes.
cls = fpmex_set_class ();
if (strcmp (cls, "single"))
  ## name, banner, most outputs, fewest inputs, most inputs (Inf: any)
  table = {"plus",  "Addition.",                                          1, 2, 2
           "lt",    "Less than.",                                         1, 2, 2
           "ones",  "Ones array.",                                        1, 1, Inf
           "prod",  "Product of elements.",                               1, 1, 2
           "log2",  "Base 2 logarithm and dissect floating point number.", 2, 1, 1
           "log",   "Natural logarithm.",                                 1, 1, 1
           "log10", "Base 10 logarithm.",                                 1, 1, 1
           "exp",   "Exponential.",                                       1, 1, 1
           "floor", "Round towards -infinity.",                           1, 1, 1};
  ## pi takes no inputs and prints no banner: its inputs are ignored.
  assert (strcmp (evalc ("p = pi ();"), ""), "pi prints nothing");
  fpmex_check (p, fpmex_bits ("40490FDB", "single"), [], "pi");
  assert (strcmp (fpmex_error_message (@() nthargout (1:2, @pi)), "pi: Too many output arguments."), "pi outputs");
else
  table = {"log2",  "Base 2 logarithm and dissect floating point number.", 2, 1, 1
           "log10", "Base 10 logarithm.",                                 1, 1, 1
           "exp",   "Exponential.",                                       1, 1, 1
           "sqrt",  "Square root.",                                       1, 1, 1
           "round", "Round towards nearest integer.",                     1, 1, 1};
endif

for k = 1:rows (table)
  [name, banner, outs, ins_min, ins_max] = table{k, :};
  f = str2func (name);
  ## The file on the path is ours, from the set's folder.
  assert (! isempty (strfind (which (name), ["octave" filesep cls])), "%s resolves to %s", name, which (name));

  ## No inputs: the banner, no outputs, no error.
  fpmex_banner (name, banner);

  ## Counts: outputs are checked before inputs.
  arg = {cast(2, cls), cast(3, cls)};
  msg = fpmex_error_message (@() nthargout (1:outs + 1, f, arg{1:ins_min}));
  assert (strcmp (msg, [name ": Too many output arguments."]), "%s: %s", name, msg);
  msg = fpmex_error_message (@() nthargout (1:outs + 1, f, arg{1}, arg{1}, arg{1}));
  assert (strcmp (msg, [name ": Too many output arguments."]), "%s: outputs before inputs: %s", name, msg);
  if (isfinite (ins_max))
    msg = fpmex_error_message (@() f (arg{1}, arg{1}, arg{1}));
    assert (strcmp (msg, [name ": Wrong number of input arguments."]), "%s: %s", name, msg);
  endif
  if (ins_min == 2)
    msg = fpmex_error_message (@() f (arg{1}));
    assert (strcmp (msg, [name ": Wrong number of input arguments."]), "%s: %s", name, msg);
  endif

  ## Output class and N-d shape.
  x = cast (reshape (1:24, 2, 3, 4), cls) / 8;
  switch (name)
    case {"plus", "lt"}
      y = f (x, cast (1, cls));
      want = cls;
      if (strcmp (name, "lt"))
        want = "logical";
      endif
      assert (strcmp (class (y), want) && isequal (size (y), [2, 3, 4]), "%s: N-d", name);
      assert (isequal (size (f (x, zeros (0, 3, cls))), [0, 0]), "%s: empty operand gives 0x0", name);
    case "ones"
      y = f (2, 3, 4);
      assert (strcmp (class (y), "single") && isequal (size (y), [2, 3, 4]), "ones: N-d");
      assert (isequal (size (f ([2, 0, 5])), [2, 0, 5]), "ones: empty");
    case "prod"
      y = f (x);
      assert (strcmp (class (y), "single") && isequal (size (y), [1, 3, 4]), "prod: N-d");
      assert (isequal (size (f (x, 3)), [2, 3]), "prod along 3");
    otherwise
      y = f (x);
      assert (strcmp (class (y), cls) && isequal (size (y), [2, 3, 4]), "%s: N-d", name);
      for shape = {[0, 0], [0, 3], [2, 0, 4]}
        e = f (zeros (shape{1}, cls));
        assert (strcmp (class (e), cls) && isequal (size (e), shape{1}), "%s: empty %s", name, mat2str (shape{1}));
      endfor
  endswitch
endfor

## ones warns for a non-scalar size argument and goes on with its first element.
if (strcmp (cls, "single"))
  lastwarn ("");
  y = ones (2, [3, 4]);
  [msg, id] = lastwarn ();
  assert (strcmp (msg, "Input arguments must be scalar."), "ones warning: %s", msg);
  assert (isequal (size (y), [2, 3]), "ones after the warning");
endif
## The argument messages, as Octave shows them.
messages = {@() nthargout (1:2, @log2, complex (cast (1, cls), 1)), "log2: Argument must be real."};
if (strcmp (cls, "single"))
  messages(end + 1:end + 6, :) = {
    @() plus (single (1), int64 (1)),               "plus: Wrong data type."
    @() lt (single (1), sparse (1)),                "lt: Sparse operands are not supported."
    @() plus (single ([1, 2, 3]), single ([1; 2])), "plus: Incompatible dimensions."
    @() ones ([2; 3]),                              "ones: Size vector must be a row vector with integer elements."
    @() ones ([2, 2^31]),                           "ones: Size vector elements must be less than 2^31."
    @() prod (single ([1, 2]), 0),                  "prod: Dimension argument must be a positive integer scalar."};
endif
for k = 1:rows (messages)
  msg = fpmex_error_message (messages{k, 1});
  assert (strcmp (msg, messages{k, 2}), "got \"%s\", expected \"%s\"", msg, messages{k, 2});
endfor

printf ("conformance frame (%s): %d deliverables\n", cls, rows (table) + strcmp (cls, "single"));

