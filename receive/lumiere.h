#pragma once

#include "app/etatpartage.h"
#include "app/plateforme.h"

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
