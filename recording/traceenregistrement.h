#pragma once

#include "recording/decodagebinairerapide.h"
#include "recording/decodagemorserapide.h"
#include "recording/mesuresfichier.h"
#include "recording/runmesure.h"
#include "recording/sourceechantillons.h"

#include <QString>
#include <vector>

// What a view of a recording shows, as data: the samples, and what the decoder of the
// chosen coding found in them (it reports it; nothing is decoded a second time here).
struct TraceEnregistrement {
    // A stretch of samples with what the decoder made of it.
    struct Plage {
        int debut = 0; // first sample
        int fin = 0;   // sample after the last
        bool allume = false;
        QString texte; // "point", "trait", "blanc", "3 bits à 1", "rien"...
    };
    // A character above its samples.
    struct Caractere {
        int debut = 0;
        int fin = 0;
        QString texte;
    };

    bool morse = true;
    std::vector<int> valeurs; // the samples, index 0 first, in the interface's units
    int seuilinitial = 0;     // the threshold the preamble was looked for with
    int seuil = 0;            // the threshold of the message
    std::vector<Plage> preambule;
    std::vector<Plage> plages;
    // The glitches the mended decoders set aside (a flash in the darkness, a dip in the
    // light), each at its own level, "parasite ignoré": the runs above read as if they were
    // not there.
    std::vector<Plage> parasites;
    std::vector<Caractere> caracteres;
    QString messagerecu;
    Coupure coupe = Coupure::non; // the message went on past the end of the recording
};

// The trace of samples and of what their decoding, already made, found in them.
TraceEnregistrement traceenregistrement(const SourceEchantillons& source,
                                        const MessageMorseRapide& message);
TraceEnregistrement traceenregistrement(const SourceEchantillons& source,
                                        const MessageBinaireRapide& message);

// The trace of samples decoded as fast Morse or fast binary: those of a download (the
// live reception's rules) or of a recording file (a file's rules).
TraceEnregistrement traceenregistrement(const SourceEchantillons& source, bool morse,
                                        Regles regles = Regles::Corrigees);
TraceEnregistrement traceenregistrement(const MesuresFichier& mesures, bool morse,
                                        Regles regles = Regles::Corrigees);

// What a run was taken for, in words: what it added to the code string ("point",
// "trait", "2 blancs", "1 bit à 1", "3 bits à 0"), after "≈ " when only the rounding of
// its length to the nearest whole number of units or bits read it so; or, when it added
// nothing, "intervalle" (a Morse darkness between elements), "arrêt" (a binary darkness
// between frames) or "rien" (a run the decoder could not place, whether it cost its
// letter or frame or not).
QString natureplage(const RunMesure& run, bool morse);
