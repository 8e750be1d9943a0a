#pragma once

#include "app/plateforme.h"

#include <QElapsedTimer>

// The platform in real time: the monotonic clock of the system, Qt's event loop and a
// precise QTimer for the sampling tick.
class PlateformeQt : public Plateforme {
public:
    PlateformeQt();

    double horloge() override;
    void cede(double echeance = 0) override;
    std::unique_ptr<Minuteur> creeMinuteur() override;
    [[noreturn]] void termineProgramme(int code) override;

    // Below this much time before a deadline the yield no longer sleeps: waking up from
    // the event loop can be late by up to a millisecond or so, a short spin is not.
    static constexpr double margeReveil = 0.0015;

private:
    QElapsedTimer depart_;
};
