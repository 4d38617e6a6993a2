% operators_error(f, message): f() must end with exactly this error message.
function operators_error(f, message)
  try
    f();
  catch err
    assert(err.message, message);
    return;
  end
  error('operators_error: no error, expected "%s"', message);
end
