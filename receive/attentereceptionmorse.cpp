#include "receive/attentereceptionmorse.h"

#include "codes/decodagemorse.h"
#include "codes/predefinis.h"
#include "link/ecran.h"
#include "link/station.h"
#include "receive/changementsmessage.h"
#include "receive/lumiere.h"
#include "recording/debit.h"

using enum Ecran::Controle;

namespace {

const QString morse = QStringLiteral("m");

// The emitter's dot and dash last 0.3 f and 1 f: between the two, a pulse is the nearer.
constexpr double limitepointtrait = (0.3 + 1.0) / 2;

void debutreceptionmorse(Station& s) {
    if (s.observateurs.debutReception)
        s.observateurs.debutReception();
    Ecran& f = *s.ecran;
    f.fixetexte(Etiquette2, QStringLiteral("RECEPTION DE MESSAGE EN COURS   PATIENTEZ SVP"));
    f.fixefond(Etiquette1, Ecran::Fond::jauneclair);
    f.fixefond(Texte1, Ecran::Fond::jauneclair);
    f.fixelectureseule(Texte1, true);
    f.appliquetaillepolice(s.etat.taillepolice);
    f.fixetexte(Texte2, QString());
    f.fixetexte(Etiquette1, QStringLiteral("RECEPTION DE CODE MORSE EN COURS     PATIENTEZ SVP"));
    f.fixeactif(Btonenvoiemorse, false);
    f.fixeactif(Btonefface, false);
}

// Times the pulses and the dark stretches of one message into its code string: "." and
// "-" by the length of the light, " " for each full silence unit of darkness. Ends at a
// light of 1.5 units or more (the end mark), or after 7 silence units.
//
// A pulse is a dot or a dash by the nearest of their lengths, 0.3 f and 1 f: the limit lies
// half-way, at 0.65 f, so that a busy emitter's light, a dot stretched or a dash cut by a
// stall of 100 ms and a tick, is still read as sent. The ticks that saw each dot or dash
// light up and go dark go to `changements`.
QString recoitsymboles(Station& s, ChangementsMessage& changements) {
    EtatPartage& e = s.etat;
    Plateforme& p = s.plateforme;
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
                s.ecran->fixetexte(Texte1, code);
                t0 = p.horloge();
                ++e.compteursilence;
            }
        }
        t0 = p.horloge();
        const double allumage = instantdutic(s);
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
        s.ecran->fixetexte(Texte1, code);
        changements.element(allumage, instantdutic(s));
        e.compteursilence = 0;
    }
}

void finmessagemorse(Station& s, const QString& affichage) {
    Ecran& f = *s.ecran;
    EtatPartage& e = s.etat;
    f.fixetexte(Etiquette2, QStringLiteral(" FIN DE RECEPTION DU MESSAGE"));
    f.fixetexte(Texte2, affichage + QStringLiteral(" = ") + e.messagerecu);
    f.fixelectureseule(Texte2, true);
    f.fixefond(Etiquette1, Ecran::Fond::vertclair);
    f.fixefond(Texte1, Ecran::Fond::vertclair);
    f.fixetexte(Etiquette1,
                QStringLiteral(" Entrer un message (26 minuscules sans ponctuation ou 9 "
                               "chiffres) ou code                         "));
    f.fixeactif(Btonenvoiemorse, true);
    f.fixeactif(Btonefface, true);
    f.fixetexte(Texte1, QString());
    f.fixelectureseule(Texte1, false);
    e.compteursilence = 0;
    if (s.observateurs.finReception)
        s.observateurs.finReception();
}

} // namespace

void attentereceptionmorse(Station& s) {
    EtatPartage& e = s.etat;

    s.ecran->montre();
    s.ecran->appliquetaillepolice(s.etat.taillepolice);
    s.Minuterie->setEnabled(true);
    e.compteursilence = 0;

    double t1 = 0;
    while (e.typecodage == morse && !s.liaisonperdue()) {
        if (!marquededebut(s, morse, 1.5, t1))
            continue;

        const Activite activite(s, QStringLiteral("une réception"));
        debutreceptionmorse(s);
        ChangementsMessage changements;
        const QString code = recoitsymboles(s, changements);
        const DecodageMorse decodage = decodecodemorse(code);
        e.messagerecu = developpecodepredefini(decodage.messagerecu, FormesReception::MorseLent);
        if (s.liaisonperdue())
            e.messagerecu += texteliaisonperdue;
        else if (e.compteursilence > 6)
            e.messagerecu += texteinterruption;
        s.ecran->debitmessage(debitmorse(code, changements.duree(), true));
        finmessagemorse(s, decodage.affichage);
    }
}
