## R = fpmex_outcome (NAME, NOUT, ARGS, OWN)
## What calling NAME on the cell ARGS with NOUT outputs gives: R.values (the
## outputs), R.message (the error, "" for none) and R.warning (the last
## warning, "" for none). With OWN true, Octave's own NAME is called
## (builtin), whatever the path holds.
function r = fpmex_outcome (name, nout, args, own)
  r.values = cell (1, nout);
  r.message = "";
  lastwarn ("");
  try
    if (nargin > 3 && own)
      [r.values{:}] = builtin (name, args{:});
    else
      [r.values{:}] = feval (name, args{:});
    endif
  catch err
    r.message = err.message;
  end_try_catch
  r.warning = lastwarn ();
endfunction
