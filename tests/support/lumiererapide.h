#pragma once

#include <QString>
#include <vector>

// The light of the fast emitters after their start mark, and the samples a recording
// interface takes of it, for tests of the fast decoders without a bench.

// A stretch of light or darkness, in seconds.
struct Plage {
    double duree;
    bool allume;
};

// Fast binary at the speed factor f (a bit lasts 0.07 × f s): 0.35 s of darkness, three
// one-bit flashes one bit apart, two bits of darkness, then for each character its frame
// (a start bit and its eight bits, most significant first) and two bits of darkness, a
// blank two bits of darkness more; darkness after.
std::vector<Plage> lumierebinairerapide(const QString& texte, double f);

// Fast Morse at the speed factor f (a dot lasts 0.05 × f s): 0.35 s of darkness, the
// letter c (dash, dot, dash, dot, each followed by a dot of darkness, the last by a dash),
// then each element of the code string followed by a dot of darkness (a dash is three
// dots of light, a blank three dots of darkness); darkness after.
std::vector<Plage> lumieremorserapide(const QString& texte, double f);

// The light of a busy emitter: each change between two stretches moved by a Gaussian draw
// of standard deviation `sigma` seconds (seeded), the changes kept in their order.
std::vector<Plage> glisse(const std::vector<Plage>& lumiere, double sigma, unsigned graine);

struct Echantillonnage {
    double periode = 0.0013; // seconds between two samples
    double debut = 0.12;     // instant of sample 0 after the end of the start mark
    int nombre = 6401;       // samples 0 to nombre - 1
    int sombre = 2;          // readings in darkness and in the light
    int eclaire = 153;
    double bruit = 0; // standard deviation of the readings' noise, in units
    unsigned graine = 1;
    double scintillement = 0; // amplitude of a 100 Hz ripple of the room's light, in units
};

// The readings of the light at debut + k × periode, the darkness going on after the
// last stretch.
std::vector<int> echantillonne(const std::vector<Plage>& lumiere, const Echantillonnage& e);
