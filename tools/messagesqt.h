#pragma once

// The offscreen platform warns, each time a form is shown, that it does not pass size
// hints on: the stations of the tool and of the benchmarks show their forms to nobody, so
// that warning is noise on standard error. Installs, once, a message handler that drops
// it and passes every other message on.
void ignoreavertissementsoffscreen();
