#pragma once

#include <QString>
#include <cstdint>
#include <vector>

// Settings of the simulated bench: the interfaces, the light between the stations and
// the faults a reliability test may inject. Every default is the value a classroom
// bench gives; sim/README.md says what each one stands for.

inline constexpr double dureeOctetLigne = 1.0 / 960.0; // 9600 baud, 8N1: 10 bits a byte

struct ReglagesInterface {
    // From the command understood to its first answer byte on the line: the time the
    // interface takes to convert or fetch a value.
    double delaiReponse = 0.002;
    // A command without terminator is executed after this much silence on the line.
    double silenceExecution = 2 * dureeOctetLigne;
    // Time between two samples of a recording in the interface's memory.
    double periodeEchantillonnage = 0.0013;
};

struct ReglagesLumiere {
    double niveauObscur = 0.05;   // volts on EA0 in darkness (shielded photodiode)
    double niveauEclaire = 3.0;   // volts on EA0 under the laser
    double bruit = 0.0;           // standard deviation of the Gaussian noise, volts
    double scintillement = 0.0;   // amplitude of the 100 Hz flicker of the room lighting, volts
    double tempsReponse = 0.0002; // time constant of the photodiode, seconds
    std::uint64_t graine = 1;     // seed of the random effects, so a run can be repeated
    // Timing slips of a busy emitter: each change of SB0 reaches the photodiode moved by a
    // Gaussian of this standard deviation, seconds (0: on time).
    double glissement = 0.0;
    // Stalls: this share of the changes of SB0 (0 to 1) come `dureeArret` seconds later still.
    double proportionArrets = 0.0;
    double dureeArret = 0.1;
    // Glitches: `parasites` short inversions of the light on the photodiode (a flash in the
    // darkness, a dip in the light, whichever it meets), `dureeParasite` seconds each, at
    // instants drawn from the seed between `debutParasites` and `finParasites` seconds after
    // the laser first lights, at least `ecartParasites` apart. A glitch as long as a sample
    // period of a recording is seen by one sample.
    int parasites = 0;
    double dureeParasite = 0.0013;
    double debutParasites = 0.0;
    double finParasites = 0.0;
    double ecartParasites = 0.02;
};

// Faults of one interface, for reliability tests. None is on by default.
struct Pannes {
    enum class Lumiere { Normale, Allumee, Eteinte };

    bool muette = false;       // executes commands but never answers
    bool charabia = false;     // answers letters where the digits should be
    double retard = 0.0;       // extra delay before every answer, seconds
    int coupureApres = -1;     // the connection drops after this many "XRESUL" requests
    double retourCoupure = -1; // and comes back this many seconds later; negative: never
    int blocageApres = -1;     // stops answering "XRESUL" after this many; the link stays up
    double pause = 0;          // the next answer stops half-way for this long, seconds
    bool flot = false;         // sends digits without end, whatever is asked
    Lumiere lumiere = Lumiere::Normale; // the photodiode's light, stuck on or off
};

struct ReglagesBanc {
    int nombreInterfaces = 2;
    // Each station's laser lights its own photodiode instead of the other station's.
    bool boucleLocale = false;
    ReglagesInterface interface;
    ReglagesLumiere lumiere;
    std::vector<Pannes> pannes; // by station, index 0 for COM1; missing entries: no fault
};
