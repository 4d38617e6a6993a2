% pi from the single set, run inside Octave.
p = pi;
assert(isa(p, 'single'));
assert(isreal(p));
assert(isequal(size(p), [1 1]));
assert(typecast(p, 'uint32') == uint32(1078530011));
assert(typecast(pi(1, 2, 'ignored'), 'uint32') == uint32(1078530011));
assert(exist('pi') == 3, 'pi must resolve to the MEX file');
message = '';
try
  [a, b] = pi;
catch err
  message = err.message;
end
assert(~isempty(strfind(message, 'Too many output arguments.')), message);
disp('pi: all Octave checks passed');
