#pragma once

#include <QString>

class Station;

// A threshold measured while the photodiode was lit (the other station's laser on, a lamp
// over the bench) leaves the station deaf: the light of a message never rises above it.
// It shows while the station waits: the readings fall well below the voltage that was
// measured as darkness, and stay there.
class VeilleSeuil {
public:
    // How far below the darkness measured, in volts, and for how long, in seconds.
    static constexpr double ecart = 0.5;
    static constexpr double duree = 5.0;

    // A reading of the tick, `volts` at the clock reading `instant`, against the threshold in
    // force (the darkness measured + 0.5 V). True once, at the reading that has stayed more
    // than `ecart` below that darkness for `duree` since the first one that was; again only
    // after a reading that is not.
    bool lecture(double instant, double volts, double tensionseuil);
    // Forgets the readings so far: the next one below starts a new span.
    void oublie() {
        depuis_ = -1;
        dit_ = false;
    }

private:
    double depuis_ = -1; // first reading of the span below, -1 when none
    bool dit_ = false;
};

// What the station says then, and offers: `volts` the reading, `obscurite` the voltage
// measured as darkness.
QString avisseuilmesureeclaire(double volts, double obscurite);
inline const QString titreseuilmesureeclaire =
    QStringLiteral("Tension seuil mesurée photodiode éclairée ?");

// Sets the watch on a station, once, when it begins to wait for messages: each reading of
// its tick is weighed; when the rule holds, the station says so and offers, in a box of its
// own once the tick has returned, to measure the threshold again (yes: measured at once,
// the photodiode in the dark). Not while an emission or a reception is under way: the
// span then starts again.
void veillesurleseuil(Station& s);
