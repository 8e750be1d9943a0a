#pragma once

#include "receive/decodagebinairerapide.h"
#include "receive/decodagemorserapide.h"
#include "recording/mesuresfichier.h"

#include <QString>

// The decoding of a recording file, without any window: the samples read from the file go
// through the same decoders as a live fast reception, with the differences of a file (see
// `Origine::Fichier`), then through the predefined-code rule of the fast receptions.

struct DecodageFichierMorse {
    MessageMorseRapide message; // measurement, code string, letters and display string
    QString messagerecu;        // the text, predefined codes expanded
};
DecodageFichierMorse decodefichiermorse(const MesuresFichier& mesures,
                                        Regles regles = Regles::Corrigees);

struct DecodageFichierBinaire {
    DecodageBinaireRapide mesure; // measurement, codebinaire and affichagebinaire
    QString messagerecu;          // the text, predefined codes expanded
};
DecodageFichierBinaire decodefichierbinaire(const MesuresFichier& mesures,
                                            Regles regles = Regles::Corrigees);
