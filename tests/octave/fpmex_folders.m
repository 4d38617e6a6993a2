## F = fpmex_folders ()
## The install folder on the path (F.install, .../octave/fpmex) and the flat
## MEX folders of the two sets beside it (F.single, F.double).
function f = fpmex_folders ()
  entries = strsplit (path (), pathsep ());
  found = entries(! cellfun ("isempty", regexp (entries, '[/\\]octave[/\\]fpmex$')));
  assert (numel (found) == 1, "the install folder must be on the path, once");
  f.install = found{1};
  f.single = fullfile (fileparts (f.install), "single");
  f.double = fullfile (fileparts (f.install), "double");
endfunction
