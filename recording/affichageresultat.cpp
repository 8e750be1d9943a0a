#include "recording/affichageresultat.h"

#include "link/ecran.h"
#include "link/station.h"

using enum Ecran::Controle;

void affichemessagerecu(Station& s, const QStringList& avis) {
    Ecran& f = *s.ecran;
    f.fixetexte(Etiquette2, QStringLiteral(" FIN DE RECEPTION DU MESSAGE"));
    f.fixetexte(Texte2, (QStringList{s.etat.messagerecu} + avis).join(u'\n'));
    f.fixelectureseule(Texte2, true);
}

Regles reglesdecodage(const EtatPartage& e) {
    return e.decodagerobuste ? Regles::Robustes : Regles::Corrigees;
}

Regles reglesdecodage(const CopieEtat& e) {
    return e.decodagerobuste ? Regles::Robustes : Regles::Corrigees;
}
