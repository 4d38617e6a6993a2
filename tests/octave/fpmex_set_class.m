function name = fpmex_set_class()
  % 'single' or 'double': the set whose log2 comes first on the path.
  [~, folder] = fileparts(fileparts(which('log2')));
  name = folder;
end
