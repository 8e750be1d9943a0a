#pragma once

#include "link/station.h"

// The instants of the first and the last change of a slow message's light, for its rate:
// the tick that saw the light of its first element, and the tick that saw the darkness
// after its last one. A tick's instant is that of its request: the light it reads is not
// older.
struct ChangementsMessage {
    double premier = -1;
    double dernier = -1;

    // A lit element of the message, from the tick at `allumage` to the tick at `extinction`.
    void element(double allumage, double extinction) {
        if (premier < 0)
            premier = allumage;
        dernier = extinction;
    }
    // Seconds from the first change to the last; 0 without an element.
    double duree() const { return premier >= 0 && dernier > premier ? dernier - premier : 0; }
};

// The instant of the tick whose reading the receiver has just looked at.
inline double instantdutic(const Station& s) {
    return s.liaison.echantillonneur().derniereLecture();
}
