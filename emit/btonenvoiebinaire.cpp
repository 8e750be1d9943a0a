#include "emit/btonenvoiebinaire.h"

#include "codes/binaire.h"
#include "codes/predefinis.h"
#include "emit/debitemission.h"
#include "emit/emissionlente.h"
#include "emit/maintientlaser.h"
#include "link/ecran.h"
#include "link/station.h"

using enum Ecran::Controle;

void Btonenvoiebinaire_Click(Station& s) {
    const Activite activite(s, QStringLiteral("une émission"));
    Ecran& f = *s.ecran;
    EtatPartage& e = s.etat;

    prepareemission(s, Btonenvoiebinaire);
    e.messagerecu = messageaemettre(texteTexte1(s));
    f.fixetexte(Etiquette2, QStringLiteral(" ENVOI DU CODE BINAIRE EN COURS"));
    f.montre();
    traduitbinaire(e.messagerecu, e.codebinaire, e.affichagebinaire);
    f.fixetexte(Texte2, texteemissionbinaire(e.codebinaire, e.affichagebinaire));
    f.montre();

    maintientlaser(s, true, 5.68, Cession::aucune);
    maintientlaser(s, false, 1.136, Cession::avantEcriture);
    int compteurbits = 0;
    const QString codebinaire = e.codebinaire;
    commencereleveemission(s);
    for (const QChar c : codebinaire) {
        const double b = 0.568 * e.facteurvitesse;
        if (c == u' ') {
            maintientlaser(s, false, b, Cession::apresEcriture);
        } else if (c == u'1') {
            ++compteurbits;
            maintientlaser(s, true, b, Cession::apresEcriture);
        } else if (c == u'0') {
            ++compteurbits;
            maintientlaser(s, false, b, Cession::apresEcriture);
        }
        if (compteurbits == 9) {
            compteurbits = 0;
            maintientlaser(s, false, 0.568 * e.facteurvitesse, Cession::apresEcriture);
        }
    }
    const DebitMessage debit = finreleveemission(s, codebinaire, false, true);
    maintientlaser(s, false, 0.568 * e.facteurvitesse, Cession::apresEcriture);
    maintientlaser(s, true, 6.818, Cession::apresEcriture);
    termineemission(s);

    retourreception(s, Btonenvoiebinaire,
                    QStringLiteral(" Entrer un message (tout caractère clavier) ou code         "));
    f.debitmessage(debit);
}
