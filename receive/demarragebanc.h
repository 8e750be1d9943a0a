#pragma once

#include "link/dialogues.h"

#include <QString>

class Station;

// Start-up on a simulated bench: no laser can light a station's photodiode while it starts
// (the other station does not send then), so the receiver test would always fail. The
// boxes of the test and of the threshold then say how to light the photodiode by hand, or
// keep it dark, through the window of the bench's light, and offer to open it
// (`Dialogues::boiteBanc`). On real ports, the boxes are those of the program as drawn.

// What the photodiode must be for the box.
enum class LumiereDemarrage {
    noire,    // dark: for the measurement of the threshold
    eclairee, // lit by hand: for the rise of the receiver test
    rendue,   // back under the other station's laser, after the test
};

// Shows the box of start-up `invite` (its buttons, its title), with what to do on the
// bench when the station's port is one of a simulated bench.
Dialogues::Reponse boitedemarrage(Station& s, const QString& invite, Dialogues::Boutons boutons,
                                  const QString& titre, LumiereDemarrage lumiere);

// What such a box adds on the bench for station `poste`.
QString aidebanc(int poste, LumiereDemarrage lumiere);
