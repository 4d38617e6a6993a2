function names = fpmex_set_functions()
  % The unary functions of the set whose folder is first on the path.
  if strcmp(fpmex_set_class(), 'single')
    names = {'log2', 'log', 'log10', 'exp', 'floor', 'prod'};
  else
    names = {'log2', 'log10', 'exp', 'sqrt', 'round'};
  end
end
