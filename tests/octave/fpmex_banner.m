## fpmex_banner (NAME, DESCRIPTION)
## Fails unless NAME called without arguments prints its banner: a line feed,
## DESCRIPTION, two line feeds and a tab, then the attribution.
function fpmex_banner (name, description)
  printed = evalc ([name " ()"]);
  start = ["\n" description "\n\n\t"];
  assert (strncmp (printed, start, numel (start)), "%s: banner %s", name, printed);
endfunction
