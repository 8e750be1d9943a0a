#include "receive/receptionrapide.h"

#include "link/ecran.h"
#include "link/station.h"
#include "receive/lumiere.h"
#include "receive/telechargement.h"
#include "recording/debit.h"
#include "recording/messagerapide.h"
#include "recording/resultatreception.h"

using enum Ecran::Controle;

void commencereceptionrapide(Station& s) {
    if (s.observateurs.debutReception)
        s.observateurs.debutReception();
    Ecran& f = *s.ecran;
    EtatPartage& e = s.etat;
    s.Minuterie->setEnabled(false);
    e.compteurmesures = 0;
    // What this download does not fill must read as darkness, not as an earlier
    // recording.
    videtabmesures(e);
    f.fixetexte(Texte1, QString());
    // Replies of the tick still on their way.
    s.liaison.litentree();
    f.fixetexte(Etiquette2, e.nbmesures == 6400
                                ? QStringLiteral("RECEPTION DE MESSAGE EN COURS DANS LA MEMOIRE "
                                                 "D'ORPHY  PATIENTEZ environ 15 s SVP")
                                : QStringLiteral("RECEPTION DE MESSAGE EN COURS DANS LA MEMOIRE "
                                                 "D'ORPHY  PATIENTEZ environ 30 s SVP"));
}

void affichereceptionrapide(Station& s, const BilanTelechargement& bilan,
                            ResultatReception& resultat) {
    if (bilan.interrompu)
        resultat.avis << avistelechargementinterrompu(bilan);
    else if (resultat.coupe != Coupure::non)
        resultat.avis << avismessagecoupe(resultat.nbmesures, resultat.coupe);
    affichemessagerecu(s, resultat.avis);
    const auto enregistrement = std::make_shared<const ResultatReception>(resultat);
    s.ecran->resultatreception(enregistrement);
    s.ecran->debitmessage(debitreception(*enregistrement));
}

SourceEchantillons echantillonsrecus(const EtatPartage& e, int nbmesures,
                                     const BilanTelechargement& bilan) {
    SourceEchantillons source = depuistabmesures(e.tabmesures, nbmesures, e.tensionseuil);
    if (bilan.interrompu)
        source.recues = bilan.valeursRecues;
    return source;
}

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
    while (p.horloge() - t0 <= duree && !s.liaisonperdue());
}

void proposeenregistrement(Station& s, const QString& legende) {
    s.ecran->demandeenregistrement(legende);
}
