## MSG = fpmex_error_message (THUNK)
## The message of the error that THUNK raises ("" when it raises none).
function msg = fpmex_error_message (thunk)
  msg = "";
  try
    thunk ();
  catch err
    msg = err.message;
  end_try_catch
endfunction
