#pragma once

#include <functional>

// The program's two threads without a window: `travail` (a station's whole run: its
// start-up, its routines, its end) runs on a thread of its own, as the program runs its
// station, while the calling thread, standing for the window's, is kept busy `occupation`
// seconds out of every second, as heavy drawing would keep a window. Returns what
// `travail` returns, unless the station ends the program first.
int executesurfilposte(const std::function<int()>& travail, double occupation);
