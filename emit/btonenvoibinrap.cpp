#include "emit/btonenvoibinrap.h"

#include "codes/binaire.h"
#include "codes/predefinis.h"
#include "emit/debitemission.h"
#include "emit/emissionlente.h"
#include "emit/emissionrapide.h"
#include "emit/maintientlaser.h"
#include "link/ecran.h"
#include "link/station.h"

using enum Ecran::Controle;

void Btonenvoi_binrap_Click(Station& s) {
    const Activite activite(s, QStringLiteral("une émission"));
    Ecran& f = *s.ecran;
    EtatPartage& e = s.etat;
    Plateforme& p = s.plateforme;

    // The speed is read once: the receiver measures the bit on the opening flashes and
    // decodes the whole message with it.
    const double bit = 0.07 * e.facteurvitesse;
    const double dureestop = 2 * bit;
    const double dureeespace = dureestop;

    prepareemissionrapide(s, Btonenvoi_binrap);
    const QString texte = texteTexte1(s);
    e.messagerecu = messageaemettre(texte);
    // A predefined sentence has become its short code, sent as it is. A typed text gets
    // one blank at its end, shown with the rest but never sent.
    const bool blancajoute = e.messagerecu == texte;
    if (blancajoute)
        e.messagerecu += u' ';
    f.fixetexte(
        Etiquette2,
        e.nbmesures == 6400
            ? QStringLiteral(
                  " ENVOI DU CODE binaire rapide EN COURS (message de durée 15 s maximum)")
            : QStringLiteral(
                  " ENVOI DU CODE binaire rapide EN COURS (message de durée 30 s maximum)"));
    const double t0 = p.horloge();
    f.montre();
    traduitbinaire(e.messagerecu, e.codebinaire, e.affichagebinaire);
    f.fixetexte(Texte2, texteemissionbinaire(e.codebinaire, e.affichagebinaire));
    f.montre();

    // The light of the start mark holds the user interface; its darkness lets it respond.
    maintientlaser(s, true, 1, Cession::aucune, Touches::rapides);
    maintientlaser(s, false, 0.35, Cession::avantEcriture, Touches::rapides);

    // From here to the end of the message the user interface does not respond.
    CadenceRapide cadence(s, s.clavier.finIntervalle);
    // Three one-bit flashes, then the darkness of a stop interval.
    cadence.element(true, bit);
    cadence.element(false, bit);
    cadence.element(true, bit);
    cadence.element(false, bit);
    cadence.element(true, bit);
    cadence.element(false, dureestop);
    const QString& codebinaire = e.codebinaire;
    const qsizetype aenvoyer = codebinaire.size() - (blancajoute ? 1 : 0);
    int compteurbits = 0;
    commencereleveemission(s);
    for (qsizetype i = 0; i < aenvoyer; ++i) {
        const QChar c = codebinaire[i];
        if (c == u' ') {
            cadence.element(false, dureeespace);
        } else if (c == u'1') {
            ++compteurbits;
            cadence.element(true, bit);
        } else if (c == u'0') {
            ++compteurbits;
            cadence.element(false, bit);
        }
        if (compteurbits == 9) {
            compteurbits = 0;
            cadence.element(false, dureestop);
        }
    }

    const DebitMessage debit = finreleveemission(s, codebinaire.left(aenvoyer), false, false);
    attentefinenregistrement(s, t0);
    f.fixetexte(Etiquette1, QStringLiteral(" ENVOI DU MESSAGE TERMINE "));
    maintientlaser(s, false, 0.5, Cession::avantEcriture, Touches::rapides);

    retourreception(s, Btonenvoi_binrap,
                    QStringLiteral(" Entrer un message (tout caractère clavier) ou code         "));
    f.debitmessage(debit);
}
