% With a set's folder on the path, Octave sends every call of these names to
% our files, whatever the arguments' classes. An argument the kernels cannot
% read as the set's type must give exactly what Octave's own function gives.
1;
function n = fpmex_outputs(name)
  n = 1 + strcmp(name, 'log2');
end

function [results, message] = fpmex_try_call(name, nout, x, useBuiltin)
  results = cell(1, nout);
  message = '';
  try
    if useBuiltin
      [results{:}] = builtin(name, x);
    else
      [results{:}] = feval(name, x);
    end
  catch err
    message = regexprep(err.message, ['^' name ': '], '');
  end
end

names = fpmex_set_functions();
checked = 0;
arguments = {int8([1 2 3]), uint16([4; 5]), [0.5 -2 4], single([1 2]), 'ab', true(1, 2), ...
             sparse([1 0 2]), complex(int16(3), int16(-4))};
for k = 1:numel(names)
  for a = 1:numel(arguments)
    x = arguments{a};
    if isa(x, fpmex_set_class()) && ~issparse(x)
      continue;
    end
    checked = checked + 1;
    for nout = 1:fpmex_outputs(names{k})
      [ours, ourError] = fpmex_try_call(names{k}, nout, x, false);
      [theirs, theirError] = fpmex_try_call(names{k}, nout, x, true);
      assert(strcmp(ourError, theirError), '%s(%s): "%s" vs "%s"', names{k}, class(x), ourError, theirError);
      assert(isequaln(ours, theirs), '%s(%s) with %d outputs differs from the builtin', names{k}, class(x), nout);
      for j = 1:numel(ours)
        assert(strcmp(class(ours{j}), class(theirs{j})));
      end
    end
  end
end
assert(checked >= 30, 'only %d calls were checked', checked);
printf('foreign classes: %d calls agree with the builtins\n', checked);
