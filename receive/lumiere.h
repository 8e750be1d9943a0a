#pragma once

#include "app/etatpartage.h"
#include "app/plateforme.h"

#include <QString>

class Station;

// The light as the slow receivers see it in the last sample of EA0. Both comparisons
// are strict: a sample equal to the threshold is neither lit nor dark.
inline bool lumiereallumee(const EtatPartage& e) {
    return e.tensionmesuree > e.tensionseuil;
}
inline bool lumiereeteinte(const EtatPartage& e) {
    return e.tensionmesuree < e.tensionseuil;
}

// A yield inside a wait that also watches the clock: it comes back in time for
// `echeance` while that is ahead, and otherwise sleeps until the next event (the next
// sample), as a wait on the light alone does.
inline void cedeavant(Plateforme& p, double echeance) {
    if (echeance > p.horloge())
        p.cede(echeance);
    else
        p.cede();
}

// One pass of the wait for a start mark, while the coding stays `typecodage`: lets the
// events run, then, if the light is on, follows it while it lasts. True when it lasted
// at least `duree` seconds: a message starts. Otherwise the silence count goes back to
// 0. `t1` is the routine's own reading, kept from one pass to the next: a pass that
// finds the light off compares an older reading with a newer start, and starts nothing.
bool marquededebut(Station& s, const QString& typecodage, double duree, double& t1);

// What a slow reception adds to the text when it ends after 7 units of darkness: the light
// stopped coming in the middle of a message. The interface itself still answers (a silent
// interface is said apart), so the text says what can stop the light.
inline const QString texteinterruption = QStringLiteral(
    "réception interrompue automatiquement (plus de lumière depuis 7 unités : l'émission "
    "s'est arrêtée, le faisceau a été coupé, ou les deux postes n'ont pas la même vitesse) ");

// What a slow reception adds to the text when the port goes away in the middle of it.
inline const QString texteliaisonperdue =
    QStringLiteral("réception abandonnée : la liaison avec l'interface a été perdue ");
