#include "emit/btonenvoimorserapide.h"

#include "codes/morse.h"
#include "codes/predefinis.h"
#include "emit/debitemission.h"
#include "emit/emissionlente.h"
#include "emit/emissionrapide.h"
#include "emit/maintientlaser.h"
#include "link/ecran.h"
#include "link/station.h"

using enum Ecran::Controle;

void Btonenvoi_morserapide_Click(Station& s) {
    const Activite activite(s, QStringLiteral("une émission"));
    Ecran& f = *s.ecran;
    EtatPartage& e = s.etat;
    Plateforme& p = s.plateforme;

    // The speed is read once: the receiver measures the dash and the dot on the opening
    // letter and decodes the whole message with them. A dash is exactly three dots.
    const double point = 0.05 * e.facteurvitesse;
    const double trait = 3 * point;

    prepareemissionrapide(s, Btonenvoi_morserapide);
    e.messagerecu = messageaemettre(texteTexte1(s));
    f.fixetexte(
        Etiquette2,
        e.nbmesures == 6400
            ? QStringLiteral(" ENVOI DU CODE MORSE rapide EN COURS (message de durée 15 s maximum)")
            : QStringLiteral(
                  " ENVOI DU CODE MORSE rapide EN COURS (message de durée 30 s maximum)"));
    const double t0 = p.horloge();
    f.montre();
    const TraductionMorse morse = traduitmorse(e.messagerecu);
    f.fixetexte(Texte2, morse.affichagemorse);
    f.montre();
    // The one yield before the message: the window shows what is about to be sent. From
    // here to the end of the message the user interface does not respond.
    p.cede();

    maintientlaser(s, true, 1, Cession::aucune, Touches::rapides);
    maintientlaser(s, false, 0.35, Cession::aucune, Touches::rapides);

    CadenceRapide cadence(s, s.clavier.finIntervalle);
    // The opening letter c, "-.-.", and a letter gap of three dots.
    cadence.element(true, trait);
    cadence.element(false, point);
    cadence.element(true, point);
    cadence.element(false, point);
    cadence.element(true, trait);
    cadence.element(false, point);
    cadence.element(true, point);
    cadence.element(false, trait);
    commencereleveemission(s);
    for (const QChar c : morse.codemorse) {
        if (c == u' ')
            cadence.element(false, trait);
        else if (c == u'.')
            cadence.element(true, point);
        else if (c == u'-')
            cadence.element(true, trait);
        cadence.element(false, point);
    }

    const DebitMessage debit = finreleveemission(s, morse.codemorse, true, false);
    attentefinenregistrement(s, t0);
    f.fixetexte(Etiquette1, QStringLiteral(" ENVOI DU MESSAGE TERMINE "));
    p.cede();
    maintientlaser(s, false, 0.2, Cession::aucune, Touches::rapides);

    retourreception(
        s, Btonenvoi_morserapide,
        QStringLiteral(
            " Entrer un message (26 minuscules sans ponctuation ou 9 chiffres) ou code         "));
    f.debitmessage(debit);
}
