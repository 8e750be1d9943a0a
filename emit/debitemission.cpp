#include "emit/debitemission.h"

#include "link/station.h"
#include "recording/debit.h"

void commencereleveemission(Station& s) {
    s.clavier.changements = {.releve = true};
}

DebitMessage finreleveemission(Station& s, const QString& code, bool morse, bool lent) {
    const ClavierLaser::Releve releve = s.clavier.changements;
    s.clavier.changements = {};
    const double duree = releve.premier >= 0 ? releve.dernier - releve.premier : 0;
    DebitMessage d = morse ? debitmorse(code, duree, lent) : debitbinaire(code, duree);
    d.emis = true;
    return d;
}
