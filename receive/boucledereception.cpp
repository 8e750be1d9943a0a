#include "receive/boucledereception.h"

#include "link/ecran.h"
#include "link/station.h"

#include "receive/attentereceptionbinaire.h"
#include "receive/attentereceptionbinairerapide.h"
#include "receive/attentereceptionmorse.h"
#include "receive/attentereceptionmorserapide.h"
#include "receive/veilleseuil.h"

using enum Ecran::Controle;

namespace {

// A coding without a reception routine of its own: the window stays up and the events
// run, the tick sampling EA0, until a menu chooses a coding that has one.
void attentesansreception(Station& s, const QString& typecodage) {
    s.ecran->montre();
    s.Minuterie->setEnabled(true);
    while (s.etat.typecodage == typecodage && !s.liaisonperdue())
        s.plateforme.cede();
}

} // namespace

void attenteretourliaison(Station& s) {
    Ecran& f = *s.ecran;
    Plateforme& p = s.plateforme;
    s.notelaperte();
    s.Minuterie->setEnabled(false);
    // Nothing can be sent meanwhile; the buttons come back as they were.
    const QList<Ecran::Controle> boutons = {Btonenvoiemorse, Btonenvoiebinaire,
                                            Btonenvoi_morserapide, Btonenvoi_binrap};
    QList<bool> actifs;
    for (const Ecran::Controle b : boutons) {
        actifs << f.actif(b);
        f.fixeactif(b, false);
    }
    const QString legende = f.texte(Etiquette2);
    f.fixetexte(Etiquette2, QStringLiteral(" LIAISON AVEC L'INTERFACE PERDUE : nouvel essai "
                                           "chaque seconde"));
    for (double essai = p.horloge() + 1;; essai = p.horloge() + 1) {
        while (p.horloge() < essai)
            p.cede(essai);
        if (s.liaison.rouvreport(nullptr))
            break;
    }
    for (qsizetype i = 0; i < boutons.size(); ++i)
        f.fixeactif(boutons[i], actifs[i]);
    f.fixetexte(Etiquette2, legende);
    s.noteleretour();
    s.Minuterie->setEnabled(true);
}

void boucledereception(Station& s) {
    // A threshold measured in the light is said while the station waits.
    veillesurleseuil(s);
    for (;;) {
        if (s.liaisonperdue())
            attenteretourliaison(s);
        const QString typecodage = s.etat.typecodage;
        if (typecodage == QStringLiteral("m"))
            attentereceptionmorse(s);
        else if (typecodage == QStringLiteral("b"))
            attentereceptionbinaire(s);
        else if (typecodage == QStringLiteral("mr"))
            attentereceptionmorserapide(s);
        else if (typecodage == QStringLiteral("br"))
            attentereceptionbinairerapide(s);
        else
            attentesansreception(s, typecodage);
    }
}
