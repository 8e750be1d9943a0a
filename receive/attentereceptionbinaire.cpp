#include "receive/attentereceptionbinaire.h"

#include "app/couleurs.h"
#include "app/feuillelumivox1.h"
#include "app/station.h"
#include "codes/predefinis.h"
#include "receive/decodagebinaire.h"
#include "receive/lumiere.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

const QString binaire = QStringLiteral("b");

void debutreception(Station& s) {
    if (s.observateurs.debutReception)
        s.observateurs.debutReception();
    Feuillelumivox1& f = *s.feuille;
    EtatPartage& e = s.etat;
    f.appliquetaillepolice();
    f.Etiquette2->setText(QStringLiteral("RECEPTION DE MESSAGE EN COURS   PATIENTEZ SVP"));
    f.fixefond(f.Etiquette1, jauneclair);
    f.fixefond(f.Texte1, jauneclair);
    f.Texte1->setReadOnly(true);
    f.Texte2->clear();
    f.Etiquette1->setText(QStringLiteral("RECEPTION DE CODE BINAIRE EN COURS     PATIENTEZ SVP"));
    f.Btonenvoiebinaire->setEnabled(false);
    f.Btonefface->setEnabled(false);
    e.codebinaire.clear();
    e.affichagebinaire.clear();
}

// Counts the slots of one message into `codebinaire`, until the end mark or 7 gap units
// of darkness.
void recoitcreneaux(Station& s) {
    EtatPartage& e = s.etat;
    Plateforme& p = s.plateforme;
    QPlainTextEdit* Texte1 = s.feuille->Texte1;
    const auto ajoute = [&](QChar c) {
        e.codebinaire += c;
        e.affichagebinaire += c;
        Texte1->setPlainText(e.codebinaire);
    };
    int creneaux = 0;
    int creneauxallumes = 0;
    bool finmarque = false;
    do {
        p.cede();
        double t0 = p.horloge();
        // Darkness between characters: one blank per gap unit.
        while (creneaux == 0 && e.compteursilence <= 6 && lumiereeteinte(e)) {
            cedeavant(p, t0 + e.facteurvitesse);
            if (p.horloge() - t0 >= e.facteurvitesse) {
                ajoute(u' ');
                t0 = p.horloge();
                ++e.compteursilence;
            }
        }
        // The slots of a character: timing restarts at every change of light and after
        // every slot counted.
        do {
            t0 = p.horloge();
            while (creneaux < 9 && lumiereallumee(e)) {
                cedeavant(p, t0 + 0.5 * e.facteurvitesse);
                const double t1 = p.horloge();
                if (t1 - t0 >= 0.5 * e.facteurvitesse) {
                    ++creneaux;
                    ++creneauxallumes;
                    t0 = t1;
                    ajoute(u'1');
                }
            }
            t0 = p.horloge();
            while (creneaux >= 1 && creneaux < 9 && lumiereeteinte(e)) {
                cedeavant(p, t0 + 0.5 * e.facteurvitesse);
                const double t1 = p.horloge();
                if (t1 - t0 >= 0.5 * e.facteurvitesse) {
                    ++creneaux;
                    t0 = t1;
                    ajoute(u'0');
                }
            }
        } while (creneaux >= 1 && creneaux < 9);
        if (creneaux == 9)
            e.compteursilence = 0;
        // Nine lit slots and still light beyond half a second: the end mark.
        t0 = p.horloge();
        while (creneauxallumes >= 9 && lumiereallumee(e)) {
            cedeavant(p, t0 + 0.5);
            if (p.horloge() - t0 > 0.5) {
                ++creneaux;
                ++creneauxallumes;
                finmarque = true;
            }
        }
        if (creneaux >= 9 && !finmarque) {
            creneaux = 0;
            creneauxallumes = 0;
            e.compteursilence = 0;
        }
    } while (e.compteursilence <= 6 && !finmarque);
}

void finmessage(Station& s) {
    Feuillelumivox1& f = *s.feuille;
    EtatPartage& e = s.etat;
    f.Etiquette2->setText(QStringLiteral(" FIN DE RECEPTION DU MESSAGE"));
    f.Texte2->setPlainText(e.messagerecu);
    f.Texte2->setReadOnly(true);
    f.fixefond(f.Etiquette1, vertclair);
    f.fixefond(f.Texte1, vertclair);
    f.Etiquette1->setText(QStringLiteral(
        " Entrer un message (tout caractère clavier) ou code                         "));
    f.Btonenvoiebinaire->setEnabled(true);
    f.Btonefface->setEnabled(true);
    f.Texte1->setPlainText(e.affichagebinaire);
    f.Texte1->setReadOnly(false);
    e.compteursilence = 0;
    if (s.observateurs.finReception)
        s.observateurs.finReception();
}

} // namespace

void attentereceptionbinaire(Station& s) {
    EtatPartage& e = s.etat;

    s.feuille->show();
    s.feuille->appliquetaillepolice();
    s.Minuterie->setEnabled(true);
    e.compteursilence = 0;

    double t1 = 0;
    while (e.typecodage == binaire) {
        if (!marquededebut(s, binaire, 3.5, t1))
            continue;

        debutreception(s);
        recoitcreneaux(s);
        const DecodageBinaire decodage = decodecodebinaire(e.codebinaire);
        e.messagerecu = developpecodepredefini(decodage.messagerecu, FormesReception::BinaireLent);
        e.affichagebinaire = decodage.affichagebinaire;
        if (e.compteursilence > 6)
            e.messagerecu += u' ' + texteinterruption;
        finmessage(s);
    }
}
