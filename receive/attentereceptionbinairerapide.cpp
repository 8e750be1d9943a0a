#include "receive/attentereceptionbinairerapide.h"

#include "app/couleurs.h"
#include "app/feuillelumivox1.h"
#include "app/legendes.h"
#include "app/station.h"
#include "receive/decodagebinairerapide.h"
#include "receive/lumiere.h"
#include "receive/receptionrapide.h"
#include "receive/telechargement.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

const QString binairerapide = QStringLiteral("br");

void debutreception(Station& s) {
    commencereceptionrapide(s);
    Feuillelumivox1& f = *s.feuille;
    EtatPartage& e = s.etat;
    const bool court = e.nbmesures == 6400;
    f.appliquetaillepolice();
    f.fixefond(f.Etiquette1, jauneclair);
    f.fixefond(f.Texte1, jauneclair);
    f.Texte1->setReadOnly(true);
    f.Texte2->clear();
    f.Etiquette1->setText(
        court ? QStringLiteral("RECEPTION DE CODE BINAIRE RAPIDE EN COURS     PATIENTEZ 15 s SVP")
              : QStringLiteral("RECEPTION DE CODE BINAIRE RAPIDE EN COURS     PATIENTEZ 30 s SVP"));
    f.Btonenvoi_binrap->setEnabled(false);
    f.Btonefface->setEnabled(false);
    e.codebinaire.clear();
    e.affichagebinaire.clear();
}

// The interface records nbmesures samples of the light, then they come down 32 at a
// time.
BilanTelechargement enregistreettelecharge(Station& s) {
    EtatPartage& e = s.etat;
    Plateforme& p = s.plateforme;
    const int blocs = e.nbmesures / 32;
    s.liaison.envoiecommande("XPEA1 0, " + QByteArray::number(blocs) + ",6,0\r");
    s.liaison.fixelongueurlecture(1);
    e.chainemesure.clear();
    s.liaison.envoiecommande(QByteArrayLiteral("XEAP\r"));
    attendsenregistrement(s, p.horloge(), e.nbmesures * 0.0015 + 2.0);
    const BilanTelechargement bilan = telechargebinairerapide(s);
    if (s.observateurs.finTelechargement)
        s.observateurs.finTelechargement(bilan);
    return bilan;
}

void finmessage(Station& s, const BilanTelechargement& bilan, bool coupe) {
    Feuillelumivox1& f = *s.feuille;
    EtatPartage& e = s.etat;
    affichereceptionrapide(s, bilan, coupe);
    f.fixefond(f.Etiquette1, vertclair);
    f.fixefond(f.Texte1, vertclair);
    f.Etiquette1->setText(etiquette1binaire());
    f.Btonenvoi_binrap->setEnabled(true);
    f.Btonefface->setEnabled(true);
    f.Texte1->setPlainText(e.affichagebinaire);
    f.Texte1->setReadOnly(false);
    if (s.observateurs.finReception)
        s.observateurs.finReception();
}

void retourattente(Station& s) {
    s.etat.compteursilence = 0;
    s.Minuterie->setEnabled(true);
    s.plateforme.cede();
    s.liaison.fixelongueurlecture(0);
}

} // namespace

void attentereceptionbinairerapide(Station& s) {
    EtatPartage& e = s.etat;

    s.feuille->appliquetaillepolice();
    s.Minuterie->setEnabled(true);
    e.compteursilence = 0;

    double t1 = 0;
    while (e.typecodage == binairerapide && !s.liaisonperdue()) {
        if (marquededebut(s, binairerapide, 0.5, t1)) {
            debutreception(s);
            const BilanTelechargement bilan = enregistreettelecharge(s);
            const MessageBinaireRapide lecture = decodemessagebinairerapide(
                depuistabmesures(e.tabmesures, e.nbmesures, e.tensionseuil), reglesdecodage(e));
            e.codebinaire = lecture.mesure.codebinaire;
            e.affichagebinaire = lecture.mesure.affichagebinaire;
            e.compteursilence = 0;
            e.messagerecu = lecture.messagerecu;
            finmessage(s, bilan, lecture.mesure.coupe);
            if (e.enregbinautorise == u"oui")
                proposeenregistrement(s,
                                      QStringLiteral("Enregistrement d'un fichier binaire rapide"));
        }
        retourattente(s);
    }
}
