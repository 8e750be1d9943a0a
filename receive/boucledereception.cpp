#include "receive/boucledereception.h"

#include "app/feuillelumivox1.h"
#include "app/station.h"

#include "receive/attentereceptionbinaire.h"
#include "receive/attentereceptionbinairerapide.h"
#include "receive/attentereceptionmorse.h"
#include "receive/attentereceptionmorserapide.h"
#include <QLabel>
#include <QPushButton>

namespace {

// A coding without a reception routine of its own: the window stays up and the events
// run, the tick sampling EA0, until a menu chooses a coding that has one.
void attentesansreception(Station& s, const QString& typecodage) {
    s.feuille->show();
    s.Minuterie->setEnabled(true);
    while (s.etat.typecodage == typecodage && !s.liaisonperdue())
        s.plateforme.cede();
}

} // namespace

void attenteretourliaison(Station& s) {
    Feuillelumivox1& f = *s.feuille;
    Plateforme& p = s.plateforme;
    s.notelaperte();
    s.Minuterie->setEnabled(false);
    // Nothing can be sent meanwhile; the buttons come back as they were.
    const QList<QPushButton*> boutons = {f.Btonenvoiemorse, f.Btonenvoiebinaire,
                                         f.Btonenvoi_morserapide, f.Btonenvoi_binrap};
    QList<bool> actifs;
    for (QPushButton* b : boutons) {
        actifs << b->isEnabled();
        b->setEnabled(false);
    }
    const QString legende = f.Etiquette2->text();
    f.Etiquette2->setText(QStringLiteral(" LIAISON AVEC L'INTERFACE PERDUE : nouvel essai "
                                         "chaque seconde"));
    for (double essai = p.horloge() + 1;; essai = p.horloge() + 1) {
        while (p.horloge() < essai)
            p.cede(essai);
        if (s.liaison.ouvreport(nullptr))
            break;
    }
    for (qsizetype i = 0; i < boutons.size(); ++i)
        boutons[i]->setEnabled(actifs[i]);
    f.Etiquette2->setText(legende);
    s.noteleretour();
    s.Minuterie->setEnabled(true);
}

void boucledereception(Station& s) {
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
