#include "receive/attentereceptionmorserapide.h"

#include "app/couleurs.h"
#include "app/feuillelumivox1.h"
#include "app/legendes.h"
#include "app/station.h"
#include "receive/decodagemorserapide.h"
#include "receive/lumiere.h"
#include "receive/receptionrapide.h"
#include "receive/telechargement.h"
#include "recording/copiecontrole.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

const QString morserapide = QStringLiteral("mr");

void debutreception(Station& s) {
    commencereceptionrapide(s);
    Feuillelumivox1& f = *s.feuille;
    EtatPartage& e = s.etat;
    const bool court = e.nbmesures == 6400;
    f.fixefond(f.Etiquette1, jauneclair);
    f.fixefond(f.Texte1, jauneclair);
    f.Texte1->setReadOnly(true);
    f.appliquetaillepolice();
    f.Texte2->clear();
    f.Etiquette1->setText(
        court ? QStringLiteral("RECEPTION DE CODE MORSE RAPIDE EN COURS     PATIENTEZ 15 s SVP")
              : QStringLiteral("RECEPTION DE CODE MORSE RAPIDE EN COURS     PATIENTEZ 30 s SVP"));
    f.Btonenvoiemorse->setEnabled(false);
    f.Btonenvoi_morserapide->setEnabled(false);
    f.Btonefface->setEnabled(false);
}

// The interface records the light, then the samples come down one by one (or 32 at a
// time, when the option asks for it), each copied to the control file as it arrives.
BilanTelechargement enregistreettelecharge(Station& s) {
    EtatPartage& e = s.etat;
    Plateforme& p = s.plateforme;
    CopieControle copie;
    copie.ouvre();
    s.liaison.fixelongueurlecture(1);
    e.chainemesure.clear();
    // A 12800-sample recording is asked for whole, and waited for as fast binary does.
    const bool long_ = e.nbmesures == 12800;
    s.liaison.envoiecommande(long_ ? QByteArrayLiteral("XPEA1 0,400,6,0")
                                   : QByteArrayLiteral("XPEA1 0,200,6,0"));
    s.liaison.envoiecommande(QByteArrayLiteral("XEAP"));
    attendsenregistrement(s, p.horloge(), long_ ? e.nbmesures * 0.0015 + 2.0 : 10);
    const auto versCopie = [&copie](int index, const QByteArray& chaine) {
        copie.ajoute(index, chaine);
    };
    const BilanTelechargement bilan = e.telechargementparblocs
                                          ? telechargebinairerapide(s, versCopie)
                                          : telechargemorserapide(s, versCopie);
    copie.ferme();
    if (s.observateurs.finTelechargement)
        s.observateurs.finTelechargement(bilan);
    return bilan;
}

void finmessage(Station& s, const QString& affichage, const BilanTelechargement& bilan,
                bool coupe) {
    Feuillelumivox1& f = *s.feuille;
    affichereceptionrapide(s, bilan, coupe);
    f.fixefond(f.Etiquette1, vertclair);
    f.fixefond(f.Texte1, vertclair);
    f.Etiquette1->setText(etiquette1morserapide());
    f.Btonenvoiemorse->setEnabled(true);
    f.Btonenvoi_morserapide->setEnabled(true);
    f.Btonefface->setEnabled(true);
    f.Texte1->setPlainText(QStringLiteral("code morse reçu : ") + affichage);
    f.Texte1->setReadOnly(false);
    f.show();
    if (s.observateurs.finReception)
        s.observateurs.finReception();
}

void retourattente(Station& s) {
    s.etat.compteursilence = 0;
    s.liaison.fixelongueurlecture(0);
    s.Minuterie->setEnabled(true);
}

} // namespace

void attentereceptionmorserapide(Station& s) {
    EtatPartage& e = s.etat;

    s.Minuterie->setEnabled(true);
    s.feuille->show();
    e.compteursilence = 0;
    s.feuille->appliquetaillepolice();

    double t1 = 0;
    while (e.typecodage == morserapide && !s.liaisonperdue()) {
        if (marquededebut(s, morserapide, 0.5, t1)) {
            debutreception(s);
            const BilanTelechargement bilan = enregistreettelecharge(s);
            e.compteursilence = 0;
            const MessageMorseRapide lecture = decodemessagemorserapide(
                depuistabmesures(e.tabmesures, e.nbmesures, e.tensionseuil), reglesdecodage(e));
            s.feuille->Texte1->setPlainText(lecture.mesure.codemorse);
            e.messagerecu = lecture.messagerecu;
            finmessage(s, lecture.texte.affichage, bilan, lecture.mesure.coupe);
            if (e.enregmorseautorise == u"oui")
                proposeenregistrement(s,
                                      QStringLiteral("Enregistrement d'un fichier morse rapide"));
        }
        retourattente(s);
    }
}
