#include "recording/decodefichiermorserap.h"

#include "link/ecran.h"
#include "link/legendes.h"
#include "link/station.h"
#include "recording/affichageresultat.h"
#include "recording/decodagefichier.h"
#include "recording/finsdecodagefichier.h"
#include "recording/resultatreception.h"

using enum Ecran::Controle;

bool decode_fichiermorserap(Station& s, QString* erreur) {
    EtatPartage& e = s.etat;
    Ecran& f = *s.ecran;
    MesuresFichier mesures;
    bool tic = false;
    if (!commencedecodagefichier(s, mesures, tic, erreur))
        return false;
    const Regles regles = reglesdecodage(e);

    const MessageMorseRapide d = decodefichiermorse(mesures, regles);
    ResultatReception resultat = resultatfichier(mesures, s.etat.cheminlecture, d, regles);
    f.fixetexte(Texte1, d.mesure.codemorse);
    s.plateforme.cede();
    e.messagerecu = d.messagerecu;

    affichefindecodagefichier(s, mesures, resultat);
    f.fixetexte(Etiquette1, etiquette1morserapide());
    f.fixeactif(Btonenvoiemorse, true);
    f.fixeactif(Btonefface, true);
    f.fixetexte(Texte1, QStringLiteral("code morse reçu : ") + d.texte.affichage);
    f.fixelectureseule(Texte1, false);
    reprendapresdecodagefichier(s, tic);
    return true;
}
