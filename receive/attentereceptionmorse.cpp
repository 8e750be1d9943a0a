#include "receive/attentereceptionmorse.h"

#include "codes/decodagemorse.h"
#include "codes/predefinis.h"
#include "link/ecran.h"
#include "link/station.h"
#include "receive/lumiere.h"
#include "recording/debit.h"

#include <algorithm>
#include <cmath>

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

// One message as the light gave it: its code string, a blank for each silence unit of
// darkness, and the instants the blanks at its two ends are counted from.
struct SymbolesMorse {
    QString code;
    double debut = 0;            // the end of the start mark
    double premierelumiere = -1; // the start of the first dot or dash
    double derniereombre = -1;   // the end of the last dot or dash
    double marquefin = -1;       // the start of the end mark
};

// Times the pulses and the dark stretches of one message into its code string: "." and
// "-" by the length of the light, " " for each full silence unit of darkness. Ends at a
// light of 1.5 units or more (the end mark), or after 7 silence units. A glitch of one
// reading, light in the darkness or darkness in the light, is no change (`SuiviLumiere`).
//
// A pulse is a dot or a dash by the nearest of their lengths, 0.3 f and 1 f: the limit lies
// half-way, at 0.65 f, so that a busy emitter's light, a dot stretched or a dash cut by a
// stall of 100 ms and a tick, is still read as sent.
SymbolesMorse recoitsymboles(SuiviLumiere& l) {
    Station& s = l.station();
    EtatPartage& e = s.etat;
    Plateforme& p = s.plateforme;
    SymbolesMorse r;
    r.debut = l.depuis();
    QString& code = r.code;
    double d = 0;
    for (;;) {
        if (e.compteursilence > 6 || d >= 1.5 * e.facteurvitesse || s.liaisonperdue())
            return r;
        l.cede();
        double t0 = l.eteinte() ? std::max(l.depuis(), r.debut) : p.horloge();
        while (e.compteursilence <= 6 && l.eteinte() && !s.liaisonperdue()) {
            l.cede(t0 + 1.2 * e.facteurvitesse);
            // A reading of light waiting for the next one may end the darkness: the units
            // are counted up to it.
            if (l.connuejusqua() - t0 >= 1.2 * e.facteurvitesse) {
                code += u' ';
                s.ecran->fixetexte(Texte1, code);
                t0 = l.connuejusqua();
                ++e.compteursilence;
            }
        }
        t0 = l.allumee() ? l.depuis() : p.horloge();
        while (l.allumee() && !s.liaisonperdue())
            l.cede();
        d = (s.liaisonperdue() ? p.horloge() : l.depuis()) - t0;
        const double fv = e.facteurvitesse;
        if (e.compteursilence <= 6 && d >= 0.1 * fv && d < limitepointtrait * fv) {
            code += u'.';
        } else if (e.compteursilence <= 6 && d >= limitepointtrait * fv && d < 1.5 * fv) {
            code += u'-';
        } else {
            // A glitch, the end mark, or the light after the silence limit.
            if (d >= 1.5 * fv && e.compteursilence <= 6)
                r.marquefin = t0;
            p.cede();
            continue;
        }
        if (r.premierelumiere < 0)
            r.premierelumiere = t0;
        r.derniereombre = t0 + d;
        s.ecran->fixetexte(Texte1, code);
        e.compteursilence = 0;
    }
}

// The code string to decode. The darkness the emitter leaves after its start mark (2 s)
// and before its end mark (a unit after the last element and the blank that ends its
// letter, 1.6 f) is no character: the blanks at the two ends are those the user sent,
// each 1.3 f of darkness (a blank element and the unit after it), so that the text has
// them. A message without its end mark keeps none at its end.
QString codeadecoder(const SymbolesMorse& r, double f) {
    const double blanc = 1.3 * f;
    const auto blancs = [blanc](double obscurite) {
        return std::max(0, static_cast<int>(std::lround(obscurite / blanc)));
    };
    if (r.premierelumiere < 0) {
        // Darkness only: the blanks of a text of blanks, k from k + 3 in the code.
        const int k = r.marquefin >= 0 ? blancs(r.marquefin - r.debut - 2.0) : 0;
        return QString(k > 0 ? k + 3 : 0, u' ');
    }
    // k leading blanks of text come from k + 1 in the code, k trailing ones from k + 3.
    const int tete = blancs(r.premierelumiere - r.debut - 2.0);
    QString code = QString(tete > 0 ? tete + 1 : 0, u' ') + r.code.trimmed();
    const int queue = r.marquefin >= 0 ? blancs(r.marquefin - r.derniereombre - 1.6 * f) : 0;
    return code + QString(queue + 3, u' ');
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
    SuiviLumiere lumiere(s);
    while (e.typecodage == morse && !s.liaisonperdue()) {
        // A dot, and the darkness between two elements of a letter: 0.3 f.
        lumiere.fixeelementminimal(0.3 * e.facteurvitesse);
        if (!marquededebut(lumiere, morse, 1.5, t1))
            continue;

        const Activite activite(s, QStringLiteral("une réception"));
        debutreceptionmorse(s);
        const SymbolesMorse symboles = recoitsymboles(lumiere);
        const DecodageMorse decodage = decodecodemorse(codeadecoder(symboles, e.facteurvitesse));
        // A reception cut short is never taken for a predefined code.
        const bool interrompue = s.liaisonperdue() || e.compteursilence > 6;
        e.messagerecu =
            interrompue ? decodage.messagerecu
                        : developpecodepredefini(decodage.messagerecu, FormesReception::MorseLent);
        // What says why the reception ended, apart from the text.
        const QString separation = e.messagerecu.isEmpty() ? QString() : QStringLiteral(" ");
        if (s.liaisonperdue())
            e.messagerecu += separation + texteliaisonperdue;
        else if (e.compteursilence > 6)
            e.messagerecu += separation + texteinterruption;
        else if (e.messagerecu.trimmed().isEmpty())
            e.messagerecu += separation + texteaucuncaractere;
        // What the light of the message carried, from its first dot or dash to its last.
        s.ecran->debitmessage(debitmorse(
            symboles.code,
            symboles.premierelumiere < 0 ? 0 : symboles.derniereombre - symboles.premierelumiere,
            true));
        finmessagemorse(s, decodage.affichage);
    }
}
