#pragma once

class Liaison;

// The laser goes off however the program ends. Quit, the window's close box and the stop
// signals end it through Station::arrete, which closes the port with the laser-off command;
// this covers the other ends: exit() (the display connection lost), std::terminate, a
// fatal message of Qt, aboutToQuit, and the fatal signals (SIGABRT, SIGSEGV, SIGBUS, SIGFPE,
// SIGILL). Each writes CR, blank, CR straight to the port's descriptor (a CR closes any
// command left open; the blank is the keying byte), waits for the line to carry it, and
// goes on ending. Best effort, once.
void inscritextinctionurgence(Liaison& liaison);

// Sends the laser-off command now, if it has not been sent by this path yet; what every
// one of those ends calls. Safe in a signal handler.
void extinctionurgence();
