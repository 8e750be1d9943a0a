#include "receive/receptionrapide.h"

#include "app/feuillelumivox1.h"
#include "app/station.h"
#include "receive/lumiere.h"
#include "receive/messagerapide.h"
#include "receive/telechargement.h"

#include <QLabel>
#include <QPlainTextEdit>

void commencereceptionrapide(Station& s) {
    if (s.observateurs.debutReception)
        s.observateurs.debutReception();
    Feuillelumivox1& f = *s.feuille;
    EtatPartage& e = s.etat;
    s.Minuterie->setEnabled(false);
    e.compteurmesures = 0;
    e.nbmesuresdutelechargement = e.nbmesures;
    // What this download does not fill must read as darkness, not as an earlier
    // recording.
    videtabmesures(e);
    f.Texte1->clear();
    // Replies of the tick still on their way.
    s.liaison.litentree();
    f.Etiquette2->setText(e.nbmesures == 6400
                              ? QStringLiteral("RECEPTION DE MESSAGE EN COURS DANS LA MEMOIRE "
                                               "D'ORPHY  PATIENTEZ environ 15 s SVP")
                              : QStringLiteral("RECEPTION DE MESSAGE EN COURS DANS LA MEMOIRE "
                                               "D'ORPHY  PATIENTEZ environ 30 s SVP"));
}

void affichemessagerecu(Station& s, const QStringList& avis) {
    Feuillelumivox1& f = *s.feuille;
    f.Etiquette2->setText(QStringLiteral(" FIN DE RECEPTION DU MESSAGE"));
    f.Texte2->setPlainText((QStringList{s.etat.messagerecu} + avis).join(u'\n'));
    f.Texte2->setReadOnly(true);
}

void affichereceptionrapide(Station& s, const BilanTelechargement& bilan, bool coupe) {
    QStringList avis;
    if (coupe)
        avis << avismessagecoupe(s.etat.nbmesuresenregistrees());
    if (bilan.interrompu)
        avis << avistelechargementinterrompu(bilan);
    affichemessagerecu(s, avis);
    emit s.feuille->enregistrementrecu();
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
    emit s.feuille->enregistrementdemande(legende);
}

Regles reglesdecodage(const EtatPartage& e) {
    return e.decodagerobuste ? Regles::Robustes : Regles::Corrigees;
}
