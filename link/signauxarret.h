#pragma once

#include <functional>

// Ctrl+C in the terminal (SIGINT), SIGTERM (a session that ends, `kill`), SIGHUP (the
// terminal closed), SIGQUIT (Ctrl+\) and SIGPIPE (the reader of its output gone, as after
// `lumicom-tool ... | head`) end the program as Quitter does, the laser turned off first. The
// handler only writes a byte to a pipe; `arret` runs from the event loop of the calling
// thread, at its next pass (the next yield of whatever routine is in progress there). A
// signal the program was started to ignore
// (`nohup lumicom`) stays ignored. Unix only; elsewhere nothing is installed.
void guettesignauxdarret(std::function<void()> arret);
