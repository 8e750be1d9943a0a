#include "recording/decodefichierbinrap.h"

#include "link/ecran.h"
#include "link/legendes.h"
#include "link/station.h"
#include "recording/affichageresultat.h"
#include "recording/decodagefichier.h"
#include "recording/finsdecodagefichier.h"
#include "recording/resultatreception.h"

using enum Ecran::Controle;

bool decode_fichierbinrap(Station& s, QString* erreur) {
    EtatPartage& e = s.etat;
    Ecran& f = *s.ecran;
    MesuresFichier mesures;
    bool tic = false;
    if (!commencedecodagefichier(s, mesures, tic, erreur))
        return false;
    const Regles regles = reglesdecodage(e);
    e.codebinaire.clear();
    e.affichagebinaire.clear();

    const MessageBinaireRapide d = decodefichierbinaire(mesures, regles);
    ResultatReception resultat = resultatfichier(mesures, s.etat.cheminlecture, d, regles);
    e.codebinaire = d.mesure.codebinaire;
    e.affichagebinaire = d.mesure.affichagebinaire;
    f.fixetexte(Texte1, e.affichagebinaire);
    e.messagerecu = d.messagerecu;

    affichefindecodagefichier(s, mesures, resultat);
    f.fixetexte(Etiquette1, etiquette1binaire());
    f.fixeactif(Btonenvoiebinaire, true);
    f.fixeactif(Btonefface, true);
    f.fixelectureseule(Texte1, false);
    reprendapresdecodagefichier(s, tic);
    return true;
}
