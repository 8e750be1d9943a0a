#include "recording/decodagefichier.h"

#include "codes/predefinis.h"

DecodageFichierMorse decodefichiermorse(const MesuresFichier& mesures, Regles regles) {
    DecodageFichierMorse d;
    d.message = decodemessagemorserapide(depuisfichier(mesures.valeurs), regles);
    d.messagerecu = developpecoderapide(d.message.texte.messagerecu);
    return d;
}

DecodageFichierBinaire decodefichierbinaire(const MesuresFichier& mesures, Regles regles) {
    DecodageFichierBinaire d;
    d.mesure = decodebinairerapide(depuisfichier(mesures.valeurs), regles);
    d.messagerecu = developpecoderapide(textedecodebinaire(d.mesure.codebinaire));
    return d;
}
