#include "recording/decodagefichier.h"

#include "codes/predefinis.h"

DecodageFichierMorse decodefichiermorse(const MesuresFichier& mesures) {
    DecodageFichierMorse d;
    d.message = decodemessagemorserapide(depuisfichier(mesures.valeurs));
    d.messagerecu = developpecoderapide(d.message.texte.messagerecu);
    return d;
}

DecodageFichierBinaire decodefichierbinaire(const MesuresFichier& mesures) {
    DecodageFichierBinaire d;
    d.mesure = decodebinairerapide(depuisfichier(mesures.valeurs));
    d.messagerecu = developpecoderapide(textedecodebinaire(d.mesure.codebinaire));
    return d;
}
