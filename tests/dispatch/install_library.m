## Octave's library functions with the install folder on the path give what
## they give without it, bit for bit: they call ones, prod, plus and pi
## without single arguments, and reach the single set's methods only where
## their own arguments are single. The double set catches every double call
## of its names, library code included, so these calls avoid the inputs on
## which it deliberately differs (docs/octave.md).
calls = {
  @() repmat ([1 2], 2, 3)
  @() repmat (single ([1 2]), 2, 3)
  @() linspace (0, 1, 7)
  @() linspace (single (0), single (1), 7)
  @() hex2dec ("FF")
  @() hex2dec ({"1A"; "ff"})
  @() dec2bin (37)
  @() dec2hex (255)
  @() deg2rad ([90 45])
  @() deg2rad (single (180))
  @() rad2deg (single (1))
  @() kron (single ([1 2]), single ([1; 1]))
  @() mean (single ([1 2 3 4]))
  @() median (single ([3 1 2]))
  @() std (single ([1 2 3 4]))
  @() cumprod (single ([1 2 3]))
  @() circshift (single (1:5), 2)
  @() logspace (0, 2, 5)
  @() num2str (pi)
  @() num2str (single (3.5))
  @() mat2str (single ([1.5 2]))
  @() nthroot (single (27), 3)
  @() trapz (single ([1 2 3]))
  @() polyval (single ([1 2 3]), single (2))
  @() interp1 (single ([1 2 3]), single ([4 5 6]), single (2.5))
  @() vander (single ([1 2 3]))
  @() hypot (single (3), single (4))
  @() cosd (single (60))
  @() norm (single ([3 4]))
  @() postpad (single ([1 2]), 4)
  @() primes (20)
  @() nchoosek (5, 2)
  @() magic (4)
  @() datestr (738000)
};
folder = fpmex_folders ().install;
with = cell (size (calls));
for k = 1:numel (calls)
  with{k} = calls{k} ();
endfor
rmpath (folder);
for k = 1:numel (calls)
  arrays_same (with{k}, calls{k} (), func2str (calls{k}));
endfor
addpath (folder);
printf ("install folder: %d library calls as without it\n", numel (calls));
