#pragma once

#include "recording/runmesure.h"
#include "recording/sourceechantillons.h"

#include <functional>
#include <vector>

// Parasitic light in a fast recording: a flash in the darkness or a dip in the light far
// shorter than any element the emitters key (two keying commands a busy machine delivers
// together, a phone's light crossing the beam). The mended decoders read the samples as if
// it were not there: it neither moves the preamble's measures nor costs a character, and
// the runs on either side of it join.

// The samples with their glitches set aside: a run on one side of `seuil` (lit: above it)
// shorter than `plusbref` samples takes the level of the runs around it, the shortest runs
// first, so that the runs on either side join into one. A run at the very start or end of
// the samples the decoders read joins the run after or before it. Each sample of a glitch
// takes the value of the nearest sample of the run it joins, so that the extremes and the
// threshold of the preamble do not see it. `parasites`: each glitch, at its own level.
struct SansParasites {
    SourceEchantillons source;
    std::vector<RunMesure> parasites;
};
SansParasites sansparasites(const SourceEchantillons& source, int seuil, double plusbref);

// A run shorter than this share of a bit or of a Morse unit is a glitch wherever it falls;
// and, whatever the speed, a run shorter than `parasiteechantillons` samples.
inline constexpr double partparasite = 0.25;
inline constexpr int parasiteechantillons = 3;

// What the decoding of the preamble gave, as the search for glitches needs it: the
// threshold of the message, the step (a bit or a Morse unit) in samples, and whether the
// preamble read as the emitter's pattern.
struct PasPreambule {
    int seuil = 0;
    double pas = 0;
    bool valide = false;
};

// The glitches of a recording found and set aside before `decode` reads it:
// - first the runs of one or two samples, on either side of the middle of the two levels
//   of light in the recording, whatever the speed;
// - then the preamble gives the threshold of the message and the step, and the runs shorter
//   than a quarter of the step (three samples at least) are set aside against that
//   threshold, which samples half-way between the two levels may lie on either side of.
//   When a glitch still spoils the preamble (it does not read as the emitter's pattern),
//   longer runs are tried in turn until the preamble reads as the emitter's; the step it
//   then gives sets the quarter, and only shorter runs are set aside in the end. This goes on, at
//   most three times, until the threshold and the step no longer change; a preamble read as the
//   emitter's pattern is never given up for one that is not.
// A recording without two levels of light is read as it is. `pas` says what a decoding's
// preamble gave.
template <typename Decodage>
Decodage decodesansparasites(const SourceEchantillons& source,
                             const std::function<Decodage(const SourceEchantillons&)>& decode,
                             const std::function<PasPreambule(const Decodage&)>& pas);

// The samples cleaned `plusbref` long against the middle of the two levels of light of the
// recording; `nettoye` false, and the samples as they are, without two such levels.
struct EssaiParasites {
    SansParasites nettoyage;
    bool nettoye = false;
};
EssaiParasites parasitesaumilieu(const SourceEchantillons& source, double plusbref);

template <typename Decodage>
Decodage decodesansparasites(const SourceEchantillons& source,
                             const std::function<Decodage(const SourceEchantillons&)>& decode,
                             const std::function<PasPreambule(const Decodage&)>& pas) {
    EssaiParasites premier = parasitesaumilieu(source, parasiteechantillons);
    if (!premier.nettoye)
        return decode(source);
    Decodage d = decode(premier.nettoyage.source);
    std::vector<RunMesure> parasites = std::move(premier.nettoyage.parasites);
    int seuil = -1;
    double plusbref = 0;
    for (int tour = 0; tour < 3; ++tour) {
        PasPreambule p = pas(d);
        // A glitch can still spoil the preamble: longer runs set aside in turn. The preamble
        // they give sets the step; then only runs shorter than a quarter of it are set aside.
        const auto quart = [](const PasPreambule& q) {
            return q.valide ? std::max(double(parasiteechantillons), partparasite * q.pas)
                            : double(parasiteechantillons);
        };
        if (!p.valide) {
            for (const double essai : {3.0, 4.0, 6.0, 9.0, 13.0, 19.0, 28.0}) {
                const PasPreambule q = pas(decode(sansparasites(source, p.seuil, essai).source));
                if (q.valide) {
                    p = q;
                    break;
                }
            }
        }
        const double nouveau = quart(p);
        if (p.seuil == seuil && nouveau == plusbref)
            break;
        seuil = p.seuil;
        plusbref = nouveau;
        SansParasites n = sansparasites(source, seuil, plusbref);
        Decodage suivant = decode(n.source);
        if (pas(d).valide && !pas(suivant).valide)
            break;
        d = std::move(suivant);
        parasites = std::move(n.parasites);
    }
    d.parasites = std::move(parasites);
    return d;
}
