#pragma once

#include "link/ecran.h"
class Station;

// The steps the two fast emitters share. Their elements are timed on the platform's
// high-resolution clock rather than by counting passes of a calibrated loop: each one
// writes its bare keying byte once and sleeps until its end, the events running
// meanwhile but the end coming on time (Plateforme::attendjusqua), so that Quit and the
// signals still stop the program at once and the receiver's recording finds the lengths
// in the ratios of the coding.

// The preparation of the slow emitters, with the caption telling the user how long to
// wait: the receiver records about 15 s (6400 samples) or 30 s.
void prepareemissionrapide(Station& s, Ecran::Controle boutonenvoi);

// Lays the elements of a message end to end on one schedule: each ends where the one
// before ended plus its own duration, so the small lateness of a wake-up does not add up
// over the message; a change that comes late (a busy machine) moves the rest of the
// schedule instead of cutting the element it starts.
class CadenceRapide {
public:
    // The first element starts at the clock reading `debut` (the end of the start mark).
    CadenceRapide(Station& s, double debut);

    // Lights (`allume`) or darkens the laser with one bare keying byte, then waits until
    // the element's end, `duree` seconds after the previous one.
    void element(bool allume, double duree);

private:
    Station& s_;
    double fin_;
};

// After the message: the laser off once, then, yielding, the wait for the end of the
// recording that the message started on the receiving interface: the clock must be more
// than 2 s plus `nbmesures` samples of `dureeparmesure` past `t0`.
void attentefinenregistrement(Station& s, double t0);
