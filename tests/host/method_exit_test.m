% The native Octave host runs a class method's exit function when Octave
% lets go of the method: at clear all, clear functions, clear -f and when
% the interpreter ends (clearing the method's name alone keeps it). The
% library stays loaded, so its statics and its registration outlive the
% method: a later call counts on, and the next clear runs the exit
% function again.
assert(probe_exit(single(1)), [1 0]);
assert(evalc('clear functions'), "exit function after 1 calls\n");
assert(evalc('clear functions'), '', 'ran again with no method alive');

assert(probe_exit(single(0)), [2 -1]);
assert(evalc('clear all'), "exit function after 2 calls\n");

% A later registration replaces the earlier one.
probe_exit(single(1));
probe_exit(single(2));
assert(evalc('clear -f'), "second exit function of probe_exit\n");

% A failing exit function is reported on stderr (which evalc takes in
% too); the method works on.
probe_exit(single(3));
assert(evalc('clear all'), ...
       "error: the exit function of probe_exit failed: probe_exit: The exit function failed.\n");
assert(probe_exit(single(4)), [6 0]);
assert(evalc('clear all'), '', 'a null registration left an exit function');
