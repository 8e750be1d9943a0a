#pragma once

// What a station remembers of its keying between two timed intervals of light.
struct ClavierLaser {
    // Clock reading at which the level may next be written again.
    double prochainRafraichissement = 0;
    // Clock reading at which the last timed interval ended.
    double finIntervalle = -1e9;

    // The keying instants of the first and the last change of level of the message being
    // sent, for its rate: noted only while `releve` is on (from the end of the start mark,
    // or of the opening, to the message's last element); negative while none has been.
    struct Releve {
        bool releve = false;
        double premier = -1;
        double dernier = -1;
    };
    Releve changements;
    void notechangement(double instant) {
        if (!changements.releve)
            return;
        if (changements.premier < 0)
            changements.premier = instant;
        changements.dernier = instant;
    }
};
