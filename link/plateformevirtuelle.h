#pragma once

#include "link/plateforme.h"

#include <functional>
#include <map>
#include <vector>

class MinuteurVirtuel;

// The platform in virtual time, for tests: the clock moves only when the program
// yields (by a settable step, 1 ms by default, but never past the deadline the caller
// gives), sleeps without yielding (to the deadline) or reads the clock (by a settable
// step, 1 µs by default: what a pass of a loop that never yields costs, so that such a
// loop ends); timer ticks and scripted events are delivered in time order while time
// moves in a yield, so a message of half a minute is tested in milliseconds.
class PlateformeVirtuelle : public Plateforme {
public:
    PlateformeVirtuelle();
    ~PlateformeVirtuelle() override;

    double horloge() override;
    void cede(double echeance = 0) override;
    void patiente(double echeance) override;
    void attendjusqua(double echeance) override;
    std::unique_ptr<Minuteur> creeMinuteur() override;
    [[noreturn]] void termineProgramme(int code) override;

    void setPasCession(double secondes) { pasCession_ = secondes; }
    void setPasLecture(double secondes) { pasLecture_ = secondes; }

    // Runs `action` when time reaches `instant` (inside a yield, like a click).
    void programme(double instant, std::function<void()> action);
    // Moves time forward to `instant`, delivering what falls due on the way.
    void avanceJusqua(double instant);
    // The program is held up for `duree` seconds without yielding (a busy machine, a
    // handler that takes long): the clock jumps, nothing is delivered meanwhile.
    void bloque(double duree) { maintenant_ += duree; }

    double maintenant() const { return maintenant_; }
    long nombreCessions() const { return cessions_; }

private:
    friend class MinuteurVirtuel;
    void inscrit(MinuteurVirtuel* m);
    void desinscrit(MinuteurVirtuel* m);

    double maintenant_ = 0;
    double pasCession_ = 0.001;
    double pasLecture_ = 1e-6;
    long cessions_ = 0;
    long sequence_ = 0;
    std::multimap<std::pair<double, long>, std::function<void()>> evenements_;
    std::vector<MinuteurVirtuel*> minuteurs_;
};
