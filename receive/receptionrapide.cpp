#include "receive/receptionrapide.h"

#include "app/feuillelumivox1.h"
#include "app/station.h"
#include "codes/predefinis.h"
#include "receive/lumiere.h"

void videtabmesures(EtatPartage& e) {
    for (QByteArray& valeur : e.tabmesures)
        valeur.clear();
}

void attendsenregistrement(Station& s, double t0, double duree) {
    Plateforme& p = s.plateforme;
    // The wait ends once the clock is strictly past the end of the recording.
    const double fin = t0 + duree;
    do
        cedeavant(p, fin + 1e-6);
    while (p.horloge() - t0 <= duree);
}

QString developpecoderapide(const QString& messagerecu) {
    qsizetype fin = messagerecu.size();
    while (fin > 0 && messagerecu.at(fin - 1) == u' ')
        --fin;
    const QString sansblancsfinaux = messagerecu.left(fin);
    const QString developpe = developpecodepredefini(sansblancsfinaux, FormesReception::Rapide);
    return developpe == sansblancsfinaux ? messagerecu : developpe;
}

void proposeenregistrement(Station& s, const QString& legende) {
    emit s.feuille->enregistrementdemande(legende);
}
