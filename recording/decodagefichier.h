#pragma once

#include "recording/decodagebinairerapide.h"
#include "recording/decodagemorserapide.h"
#include "recording/mesuresfichier.h"

// The decoding of a recording file, without any window: the samples read from the file go
// through the same decoders as a live fast reception, with the differences of a file (see
// `Origine::Fichier`), the predefined codes of the fast receptions expanded.
MessageMorseRapide decodefichiermorse(const MesuresFichier& mesures,
                                      Regles regles = Regles::Corrigees);
MessageBinaireRapide decodefichierbinaire(const MesuresFichier& mesures,
                                          Regles regles = Regles::Corrigees);
