## ns = time_calls (F, REPS, COUNT)
## ns per element of REPS calls y = F (), COUNT elements each. Each result
## is assigned: a result left in ans costs Octave far more.
function ns = time_calls (f, reps, count)
  start = tic ();
  for r = 1:reps
    y = f ();
  endfor
  ns = toc (start) / reps / count * 1e9;
endfunction
