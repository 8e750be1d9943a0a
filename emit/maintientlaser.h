#pragma once

#include "link/clavierlaser.h"

class Station;

// How a timed interval lets the event loop run.
enum class Cession {
    aucune,        // only while it waits for the interval's end, which comes on time
    avantEcriture, // at the top of each pass but the first, before the keying command
    apresEcriture, // after the keying command, before the clock is read
};

// Which keying commands an interval writes: those of the slow codings (the level byte
// and CR) or the bare level byte of the fast codings.
enum class Touches {
    lentes,
    rapides,
};

// Keeps the laser lit (`allume`) or dark for `duree` seconds of the clock, with the
// keying commands `touches`, yielding as `cession` says; makes at least one pass.
//
// An interval that follows the previous one directly starts at the instant that one
// ended, not at the clock reading a little after it: the durations of a message are
// laid on one schedule from the start mark, so the small lateness of every loop exit
// does not add up over the message. A change of level that comes later than
// `toleranceretard` (the machine was busy) moves the rest of the schedule by its
// lateness: the element it starts keeps its whole duration, for the receiver measures
// durations; only the element before it lasts longer.
void maintientlaser(Station& s, bool allume, double duree, Cession cession,
                    Touches touches = Touches::lentes);

// Writes the keying command `touches` for the level when the interface needs it, and returns
// the clock reading at which it next may. A change of level is written at once. The
// same level is written again only when the previous command has left the port, at most
// every `periodeRafraichissement`, and never within `garde` of `fin`, when a change is
// likely: a queue of commands would hold back every later change and lengthen or
// shorten the light on the line.
double entretientlaser(Station& s, bool allume, double fin, Touches touches = Touches::lentes);

inline constexpr double periodeRafraichissement = 0.1;
inline constexpr double garde = 0.004;
// Beyond this much lateness an interval starts from the clock instead of the schedule: no
// element is ever shorter than its duration by more.
inline constexpr double toleranceretard = 0.0005;

// The start of an interval due at `prevu` whose change of level is written at `ecriture`:
// the schedule, or the writing when it came late.
inline double debutintervalle(double prevu, double ecriture) {
    const double retard = ecriture - prevu;
    return retard >= 0 && retard <= toleranceretard ? prevu : ecriture;
}
