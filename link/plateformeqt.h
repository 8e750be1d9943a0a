#pragma once

#include "link/plateforme.h"

#include <chrono>

// The platform in real time: the monotonic clock of the system, Qt's event loop and a
// precise QTimer for the sampling tick.
class PlateformeQt : public Plateforme {
public:
    PlateformeQt();

    double horloge() override;
    void cede(double echeance = 0) override;
    void patiente(double echeance) override;
    void attendjusqua(double echeance) override;
    std::unique_ptr<Minuteur> creeMinuteur() override;
    [[noreturn]] void termineProgramme(int code) override;

    // Below this much time before a deadline the yield no longer sleeps: waking up from
    // the event loop can be late by up to a millisecond or so, a short spin is not.
    static constexpr double margeReveil = 0.0015;
    // A yield without deadline wakes up at least this often, so that a wait on a clock
    // condition cannot sleep forever when no event comes.
    static constexpr double attenteMaximale = 0.1;
    // A wait for an element's end leaves the event loop this long before its deadline and
    // sleeps the rest: waking up from the event loop can be late by a few milliseconds
    // when the window has work, a sleep on the clock is not.
    static constexpr double margeEvenements = 0.004;

private:
    // Sleeps until the clock reads `echeance`, without the event loop.
    void dort(double echeance);

    std::chrono::steady_clock::time_point depart_;
};
