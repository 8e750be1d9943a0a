#pragma once

#include "sim/interfaceorphy.h"
#include "sim/reglages.h"

// The light from a laser to a photodiode and the voltage it gives on input EA0:
// dark level + (lit level - dark level) x light, where the light follows the laser
// output SB0 of the source interface through the photodiode's response time, plus
// the flicker of the room lighting and noise. A busy emitter's timing slips may move each
// change of SB0 on its way to the photodiode.
class CheminLumineux {
public:
    CheminLumineux(ReglagesLumiere reglages, Pannes::Lumiere panne, int numeroStation);

    void setSource(const InterfaceOrphy* source) { source_ = source; }
    // Lights the photodiode whatever the laser does (Allumee), keeps it dark (Eteinte), or
    // lets it follow the laser again (Normale); from now on.
    void setPanne(Pannes::Lumiere panne) { panne_ = panne; }
    Pannes::Lumiere panne() const { return panne_; }

    // The light of this photodiode, changed by hand while the bench runs (a lesson on a lit
    // or noisy room), from now on; volts on EA0. The room's light is what the photodiode
    // reads in the dark; the laser's adds to it, less the further away the laser stands.
    void fixesalle(double volts) { salle_ = volts; }
    void fixelaser(double volts) { laser_ = volts; }
    void fixebruit(double volts) { bruit_ = volts; }
    void fixescintillement(double volts) { scintillement_ = volts; }
    double salle() const { return salle_; }
    double laser() const { return laser_; }
    double bruit() const { return bruit_; }
    double scintillement() const { return scintillement_; }

    // Light on the photodiode at `instant`, 0 (dark) to 1 (fully lit).
    double eclairement(double instant) const;
    double tension(double instant) const;
    // What the interface reads: round(V x 255 / 5), limited to 0 to 255.
    int lecture(double instant) const;

    // The changes of SB0 as the photodiode sees them: those of the source, each moved by
    // its slip and stall, in the same order.
    const std::vector<InterfaceOrphy::Transition>& transitionsVues() const;
    // The changes of the light on the photodiode: those seen, with the glitches.
    const std::vector<InterfaceOrphy::Transition>& transitionsLumiere() const;
    // The instants the glitches start at, once the laser has first lit (empty before).
    const std::vector<double>& instantsParasites() const;

private:
    ReglagesLumiere reglages_;
    Pannes::Lumiere panne_;
    double salle_;
    double laser_;
    double bruit_;
    double scintillement_;
    int numeroStation_;
    const InterfaceOrphy* source_ = nullptr;
    // The source's changes already moved, and the instant each had at the source: the
    // model reads the light often, each change is moved once.
    mutable std::vector<InterfaceOrphy::Transition> vues_;
    mutable std::vector<double> instantsSource_;
    // The glitches, placed from the first light, and the changes seen with them: made again
    // when the changes seen change.
    mutable bool parasitesPlaces_ = false;
    mutable std::vector<double> parasites_;
    mutable std::vector<InterfaceOrphy::Transition> avecParasites_;
    mutable std::size_t vuesConnues_ = 0;
    mutable double derniereVue_ = 0;
    mutable double premiereVue_ = 0;
};

// A standard normal draw that depends only on the seed, the station and the instant,
// so that a run gives the same noise whatever the order in which samples are read.
double bruitGaussien(std::uint64_t graine, int station, double instant);
