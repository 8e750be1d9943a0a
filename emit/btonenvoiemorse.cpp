#include "emit/btonenvoiemorse.h"

#include "codes/morse.h"
#include "codes/predefinis.h"
#include "emit/debitemission.h"
#include "emit/emissionlente.h"
#include "emit/maintientlaser.h"
#include "link/ecran.h"
#include "link/station.h"

using enum Ecran::Controle;

void Btonenvoiemorse_Click(Station& s) {
    const Activite activite(s, QStringLiteral("une émission"));
    Ecran& f = *s.ecran;
    EtatPartage& e = s.etat;

    prepareemission(s, Btonenvoiemorse);
    e.messagerecu = messageaemettre(texteTexte1(s));
    f.fixetexte(Etiquette2, QStringLiteral(" ENVOI DU CODE MORSE EN COURS"));
    f.montre();
    const TraductionMorse morse = traduitmorse(e.messagerecu);
    f.fixetexte(Texte2, morse.affichagemorse);
    f.montre();

    maintientlaser(s, true, 3, Cession::aucune);
    maintientlaser(s, false, 2, Cession::avantEcriture);
    commencereleveemission(s);
    for (const QChar c : morse.codemorse) {
        // The speed factor is read at every element: a menu choice made during the
        // message applies from the next one.
        const double fv = e.facteurvitesse;
        if (c == u' ')
            maintientlaser(s, false, 1 * fv, Cession::apresEcriture);
        else if (c == u'.')
            maintientlaser(s, true, 0.3 * fv, Cession::apresEcriture);
        else if (c == u'-')
            maintientlaser(s, true, 1 * fv, Cession::apresEcriture);
        maintientlaser(s, false, 0.3 * e.facteurvitesse, Cession::apresEcriture);
    }
    const DebitMessage debit = finreleveemission(s, morse.codemorse, true, true);
    maintientlaser(s, true, 3, Cession::apresEcriture);
    termineemission(s);

    retourreception(
        s, Btonenvoiemorse,
        QStringLiteral(
            " Entrer un message (26 minuscules sans ponctuation ou 9 chiffres) ou code         "));
    f.debitmessage(debit);
}
