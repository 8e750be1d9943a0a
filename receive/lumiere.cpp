#include "receive/lumiere.h"

#include "app/station.h"

bool marquededebut(Station& s, const QString& typecodage, double duree, double& t1) {
    EtatPartage& e = s.etat;
    Plateforme& p = s.plateforme;
    p.cede();
    const double t0 = p.horloge();
    while (e.typecodage == typecodage && lumiereallumee(e) && !s.liaisonperdue()) {
        p.cede();
        t1 = p.horloge();
    }
    if (t1 - t0 >= duree && !s.liaisonperdue())
        return true;
    e.compteursilence = 0;
    return false;
}
