#include "receive/messagerapide.h"

#include "codes/predefinis.h"
#include "receive/decodagebinairerapide.h"
#include "receive/decodagemorserapide.h"

QString messagerecurapide(const SourceEchantillons& source, bool morse, Regles regles) {
    const QString texte = morse
                              ? decodemessagemorserapide(source, regles).texte.messagerecu
                              : textedecodebinaire(decodebinairerapide(source, regles).codebinaire);
    return developpecoderapide(texte);
}
