#include "recording/decodagefichier.h"

MessageMorseRapide decodefichiermorse(const MesuresFichier& mesures, Regles regles) {
    return decodemessagemorserapide(depuisfichier(mesures.valeurs), regles);
}

MessageBinaireRapide decodefichierbinaire(const MesuresFichier& mesures, Regles regles) {
    return decodemessagebinairerapide(depuisfichier(mesures.valeurs), regles);
}
