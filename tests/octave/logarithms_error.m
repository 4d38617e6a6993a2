## MSG = logarithms_error (THUNK)
## The message of the error that THUNK raises ("" when it raises none).
function msg = logarithms_error (thunk)
  msg = "";
  try
    thunk ();
  catch err
    msg = err.message;
  end_try_catch
endfunction
