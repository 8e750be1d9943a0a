#include "receive/boucledereception.h"

#include "app/feuillelumivox1.h"
#include "app/station.h"
#include "receive/attentereceptionbinaire.h"
#include "receive/attentereceptionbinairerapide.h"
#include "receive/attentereceptionmorse.h"
#include "receive/attentereceptionmorserapide.h"

namespace {

// A coding without a reception routine of its own: the window stays up and the events
// run, the tick sampling EA0, until a menu chooses a coding that has one.
void attentesansreception(Station& s, const QString& typecodage) {
    s.feuille->show();
    s.Minuterie->setEnabled(true);
    while (s.etat.typecodage == typecodage)
        s.plateforme.cede();
}

} // namespace

void boucledereception(Station& s) {
    for (;;) {
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
