#include "receive/attentereceptionmorse.h"

#include "app/couleurs.h"
#include "app/feuillelumivox1.h"
#include "app/station.h"
#include "codes/predefinis.h"
#include "receive/decodagemorse.h"
#include "receive/lumiere.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

const QString morse = QStringLiteral("m");

// The emitter's dot and dash last 0.3 f and 1 f: between the two, a pulse is the nearer.
constexpr double limitepointtrait = (0.3 + 1.0) / 2;

void debutreception(Station& s) {
    if (s.observateurs.debutReception)
        s.observateurs.debutReception();
    Feuillelumivox1& f = *s.feuille;
    f.Etiquette2->setText(QStringLiteral("RECEPTION DE MESSAGE EN COURS   PATIENTEZ SVP"));
    f.fixefond(f.Etiquette1, jauneclair);
    f.fixefond(f.Texte1, jauneclair);
    f.Texte1->setReadOnly(true);
    f.appliquetaillepolice();
    f.Texte2->clear();
    f.Etiquette1->setText(QStringLiteral("RECEPTION DE CODE MORSE EN COURS     PATIENTEZ SVP"));
    f.Btonenvoiemorse->setEnabled(false);
    f.Btonefface->setEnabled(false);
}

// Times the pulses and the dark stretches of one message into its code string: "." and
// "-" by the length of the light, " " for each full silence unit of darkness. Ends at a
// light of 1.5 units or more (the end mark), or after 7 silence units.
//
// A pulse is a dot or a dash by the nearest of their lengths, 0.3 f and 1 f: the limit lies
// half-way, at 0.65 f, so that a busy emitter's light, a dot stretched or a dash cut by a
// stall of 100 ms and a tick, is still read as sent.
QString recoitsymboles(Station& s) {
    EtatPartage& e = s.etat;
    Plateforme& p = s.plateforme;
    QPlainTextEdit* Texte1 = s.feuille->Texte1;
    QString code;
    double d = 0;
    for (;;) {
        if (e.compteursilence > 6 || d >= 1.5 * e.facteurvitesse || s.liaisonperdue())
            return code;
        p.cede();
        double t0 = p.horloge();
        while (e.compteursilence <= 6 && lumiereeteinte(e) && !s.liaisonperdue()) {
            cedeavant(p, t0 + 1.2 * e.facteurvitesse);
            if (p.horloge() - t0 >= 1.2 * e.facteurvitesse) {
                code += u' ';
                Texte1->setPlainText(code);
                t0 = p.horloge();
                ++e.compteursilence;
            }
        }
        t0 = p.horloge();
        while (lumiereallumee(e) && !s.liaisonperdue())
            p.cede();
        d = p.horloge() - t0;
        const double fv = e.facteurvitesse;
        if (e.compteursilence <= 6 && d >= 0.1 * fv && d < limitepointtrait * fv) {
            code += u'.';
        } else if (e.compteursilence <= 6 && d >= limitepointtrait * fv && d < 1.5 * fv) {
            code += u'-';
        } else {
            // A glitch, the end mark, or the light after the silence limit.
            p.cede();
            continue;
        }
        Texte1->setPlainText(code);
        e.compteursilence = 0;
    }
}

void finmessage(Station& s, const QString& affichage) {
    Feuillelumivox1& f = *s.feuille;
    EtatPartage& e = s.etat;
    f.Etiquette2->setText(QStringLiteral(" FIN DE RECEPTION DU MESSAGE"));
    f.Texte2->setPlainText(affichage + QStringLiteral(" = ") + e.messagerecu);
    f.Texte2->setReadOnly(true);
    f.fixefond(f.Etiquette1, vertclair);
    f.fixefond(f.Texte1, vertclair);
    f.Etiquette1->setText(QStringLiteral(" Entrer un message (26 minuscules sans ponctuation ou 9 "
                                         "chiffres) ou code                         "));
    f.Btonenvoiemorse->setEnabled(true);
    f.Btonefface->setEnabled(true);
    f.Texte1->clear();
    f.Texte1->setReadOnly(false);
    e.compteursilence = 0;
    if (s.observateurs.finReception)
        s.observateurs.finReception();
}

} // namespace

void attentereceptionmorse(Station& s) {
    EtatPartage& e = s.etat;

    s.feuille->show();
    s.feuille->appliquetaillepolice();
    s.Minuterie->setEnabled(true);
    e.compteursilence = 0;

    double t1 = 0;
    while (e.typecodage == morse && !s.liaisonperdue()) {
        if (!marquededebut(s, morse, 1.5, t1))
            continue;

        debutreception(s);
        const QString code = recoitsymboles(s);
        const DecodageMorse decodage = decodecodemorse(code);
        e.messagerecu = developpecodepredefini(decodage.messagerecu, FormesReception::MorseLent);
        if (s.liaisonperdue())
            e.messagerecu += texteliaisonperdue;
        else if (e.compteursilence > 6)
            e.messagerecu += texteinterruption;
        finmessage(s, decodage.affichage);
    }
}
